#include "FaultMessages.h"

#include "SafePath.h"

namespace tolvane::swordinstall {

namespace {

const char* const kAgain = " Check the connection and try again, or choose another repository.";
const char* const kLater = " Try again later, or choose another repository.";

std::string thing(const Subject& s) {
    return s.module.empty() ? "the list of modules" : s.module;
}

} // namespace

std::string capital(std::string text) {
    if (!text.empty() && text.front() >= 'a' && text.front() <= 'z')
        text.front() = char(text.front() - 'a' + 'A');
    return text;
}

std::string outsideMessage(const Subject& s, const std::string& path) {
    return capital(thing(s)) + " from " + s.where + " was refused: it would write \"" +
           shown(path) + "\", outside " + s.folder +
           ". Nothing was written. Choose another repository.";
}

std::string transferMessage(const Subject& s, const TransferRules& rules) {
    const std::string download = "The download of " + thing(s) + " from " + s.where;
    switch (rules.fault) {
    case Fault::NotFound:
        return s.module.empty()
                   ? capital(s.where) + " has no list of modules. Check its address, or choose "
                                        "another repository."
                   : capital(s.where) + " offers " + s.module + " but lacks one of its files." +
                         kLater;
    case Fault::ServerFault:
        return capital(s.where) + " could not send " + thing(s) +
               ": its server reported a fault of its own." + kLater;
    case Fault::Silent:
        return download + " stalled: nothing came for " + std::to_string(rules.silentS) + " s." +
               kAgain;
    case Fault::Stalled:
        return download + " stalled: less than " + std::to_string(rules.minRate / 1024) +
               " KB a second came for " + std::to_string(rules.windowS) + " s." + kAgain;
    case Fault::Unreachable:
        return capital(s.where) + " could not be reached." + kAgain;
    case Fault::NoRoom:
        return capital(thing(s)) + " from " + s.where +
               " could not be saved: the disk is full (no room in " + s.folder +
               "). Make room and try again.";
    case Fault::Unwritable:
        return capital(thing(s)) + " from " + s.where + " could not be saved in " + s.folder +
               ": the folder cannot be written. Check its permissions, and try again.";
    case Fault::Outside:
        return outsideMessage(s, rules.detail);
    case Fault::TooLarge:
        return download + " was refused: it is far larger than it can be. Nothing was kept. "
                          "Choose another repository.";
    case Fault::None:
    case Fault::CutOff:
        break;
    }
    return download + " was cut off." + kAgain;
}

std::string listingMessage(const Subject& s, const ListingResult& result) {
    const std::string list = "The list of modules of " + s.where;
    switch (result.outcome) {
    case ListingResult::Hostile:
        return list + " was refused: it holds \"" + shown(result.member) +
               "\", which would be written outside " + s.folder +
               ". Nothing was kept. Choose another repository.";
    case ListingResult::TooLarge:
        return list + " was refused: it unpacks to more than " +
               std::to_string(kListingMaxBytes >> 20) +
               " MB, far more than a real list. Nothing was kept. Choose another repository.";
    case ListingResult::NoRoom:
        return list + " could not be saved: the disk is full (no room in " + s.folder +
               "). Make room and try again.";
    case ListingResult::Damaged:
    case ListingResult::Unpacked:
        break;
    }
    return list + " is damaged and cannot be unpacked." + kLater;
}

} // namespace tolvane::swordinstall
