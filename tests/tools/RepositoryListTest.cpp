// How tolvane-swordinstall reads the names a repository gives (a DataPath, a listing's names)
// and unpacks its mods.d.tar.gz, on archives written here: the forms real repositories use
// stay working, and the bound counts what is passed over too.

#include "swordinstall/Listing.h"
#include "swordinstall/SafePath.h"

#include <archive.h>
#include <archive_entry.h>

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tolvane::swordinstall;

namespace {

struct Member {
    const char* name;
    std::string data; // a folder when it ends in '/'
};

// A gzipped tar of `members`, as a repository serves its list.
void writeArchive(const std::string& path, const std::vector<Member>& members) {
    archive* a = archive_write_new();
    archive_write_set_format_pax_restricted(a);
    archive_write_add_filter_gzip(a);
    archive_write_open_filename(a, path.c_str());
    for (const Member& m : members) {
        archive_entry* e = archive_entry_new();
        const bool folder = std::string(m.name).back() == '/';
        archive_entry_set_pathname(e, m.name);
        archive_entry_set_filetype(e, folder ? AE_IFDIR : AE_IFREG);
        archive_entry_set_perm(e, 0644);
        archive_entry_set_size(e, folder ? 0 : la_int64_t(m.data.size()));
        archive_write_header(a, e);
        archive_write_data(a, m.data.data(), m.data.size());
        archive_entry_free(e);
    }
    archive_write_close(a);
    archive_write_free(a);
}

TEST(RepositoryListTest, PathsAreCleanedAndThoseThatLeaveAreRefused) {
    EXPECT_EQ(cleanRelative("./modules/lexdict/rawld/topics/"), "modules/lexdict/rawld/topics");
    EXPECT_EQ(cleanRelative("modules//a/./b/../c"), "modules/a/c");
    EXPECT_EQ(cleanRelative("a/.."), "");
    for (const char* leaves : {"../a", "/etc/x", "a/../../b", "modules/../../x", ".."})
        EXPECT_EQ(cleanRelative(leaves), std::nullopt) << leaves;
}

TEST(RepositoryListTest, OnlyTheListsConfFilesAreTakenInEveryFormRepositoriesUse) {
    QTemporaryDir dir;
    const std::string archive = dir.filePath("mods.d.tar.gz").toStdString();
    const std::string modsD = dir.filePath("mods.d").toStdString();
    QDir().mkpath(QString::fromStdString(modsD));
    writeArchive(archive, {{"./", ""},
                           {"mods.d/", ""},
                           {"mods.d/easton.conf", "[Easton]\n"},
                           {"./mods.d/nave.conf", "[Nave]\n"},
                           {"mods.d/README", "passed over"},
                           {"mods.d/old/kjv.conf", "[KJV]\n"},
                           {"other.conf", "[Other]\n"}});
    const ListingResult result = unpackListing(archive, modsD);
    EXPECT_EQ(result.outcome, ListingResult::Unpacked) << result.member;
    EXPECT_EQ(result.conf, 2);
    EXPECT_EQ(
        QDir(QString::fromStdString(modsD)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
        QStringList({"easton.conf", "nave.conf"}));
}

TEST(RepositoryListTest, WhatIsPassedOverCountsTowardsTheBoundAndNothingStays) {
    QTemporaryDir dir;
    const std::string archive = dir.filePath("mods.d.tar.gz").toStdString();
    const std::string modsD = dir.filePath("mods.d").toStdString();
    QDir().mkpath(QString::fromStdString(modsD));
    writeArchive(archive, {{"mods.d/easton.conf", "[Easton]\n"},
                           {"mods.d/filler.bin", std::string(4096, 'x')}});
    const ListingResult result = unpackListing(archive, modsD, 1024);
    EXPECT_EQ(result.outcome, ListingResult::TooLarge);
    EXPECT_EQ(result.member, "mods.d/filler.bin");
    EXPECT_TRUE(QDir(QString::fromStdString(modsD)).isEmpty());
}

} // namespace
