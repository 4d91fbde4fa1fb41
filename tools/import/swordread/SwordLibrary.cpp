#include "SwordLibrary.h"

#include "LineMarks.h"

#include <filemgr.h>
#include <latin1utf8.h>
#include <localemgr.h>
#include <markupfiltmgr.h>
#include <swbuf.h>
#include <swld.h>
#include <swlog.h>
#include <swmgr.h>
#include <swmodule.h>

#include <QByteArrayView>
#include <QStringDecoder>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>

namespace tolvane::swordread {

namespace {

// libsword reports damage (a block that does not decompress, an entry it cannot find) only
// through its log, and goes on with an empty text. Keeping the first error lets the helper
// refuse the module instead of writing a dictionary with holes.
class KeptLog : public sword::SWLog {
public:
    void logMessage(const char* message, int level) const override {
        if (level > LOG_ERROR || !m_first.empty())
            return;
        std::string text = message ? message : "";
        if (text.rfind("ERROR: ", 0) == 0)
            text.erase(0, 7);
        while (!text.empty() && (text.back() == '.' || text.back() == '\n'))
            text.pop_back();
        m_first = text.empty() ? "an unnamed error" : text;
    }
    std::string take() { return std::exchange(m_first, {}); }

private:
    mutable std::string m_first;
};

// The plain-text filter chain, except that a module whose configuration names no encoding
// gets no Latin-1 conversion here: renderPlain decides per entry.
class PlainFilters : public sword::MarkupFilterMgr {
public:
    PlainFilters() : sword::MarkupFilterMgr(sword::FMT_PLAIN, sword::ENC_UTF8) {}
    void addRawFilters(sword::SWModule* module, sword::ConfigEntMap& section) override {
        if (module->getEncoding() == sword::ENC_LATIN1 &&
            section.find("Encoding") == section.end()) {
            m_undeclared.insert(module);
            return;
        }
        sword::MarkupFilterMgr::addRawFilters(module, section);
    }
    bool undeclared(const sword::SWModule* module) const { return m_undeclared.count(module) != 0; }

private:
    std::set<const sword::SWModule*> m_undeclared;
};

bool isUtf8(const sword::SWBuf& text) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    (void)decoder.decode(QByteArrayView(text.c_str(), qsizetype(text.length())));
    return !decoder.hasError();
}

std::string withSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

// The bytes of a module's data files: libsword's AbsoluteDataPath is the module's own folder
// (for a dictionary it drops the files' common name from DataPath); should it name the files
// without their suffix, those in its folder that begin with it.
long long filesSize(const std::string& dataPath) {
    namespace fs = std::filesystem;
    if (dataPath.empty())
        return 0;
    std::error_code error;
    fs::path folder(dataPath), stem;
    if (!fs::is_directory(folder, error)) {
        stem = folder.filename();
        folder = folder.parent_path();
    }
    long long total = 0;
    for (const auto& file : fs::directory_iterator(folder, error))
        if (file.is_regular_file(error) &&
            file.path().filename().string().rfind(stem.string(), 0) == 0)
            total += (long long)file.file_size(error);
    return total;
}

} // namespace

struct SwordLibrary::Parts {
    KeptLog* log = new KeptLog;               // owned by libsword once set as its system log
    PlainFilters* filters = new PlainFilters; // owned by the manager
    std::unique_ptr<sword::SWMgr> manager;
    sword::Latin1UTF8 latin1;
};

SwordLibrary::SwordLibrary() : m(std::make_unique<Parts>()) {
    sword::SWLog::setSystemLog(m->log);
    // libsword's locales translate book names for scripture keys; a dictionary's keys are plain
    // words and its plain rendering translates nothing. Without this the first module made
    // reads every locale file of the library (some ninety), a third of the time a conversion
    // takes beyond reading the entries. A folder that does not exist leaves the built-in
    // English locale alone.
    sword::LocaleMgr::setSystemLocaleMgr(new sword::LocaleMgr("/nonexistent/tolvane-no-locales/"));
    m->manager = std::make_unique<sword::SWMgr>(m->filters);
}

SwordLibrary::~SwordLibrary() = default;

std::vector<std::string> SwordLibrary::searchedFolders() const {
    std::vector<std::string> folders;
    auto add = [&folders](const std::string& folder) {
        if (!folder.empty() && std::find(folders.begin(), folders.end(), folder) == folders.end())
            folders.push_back(folder);
    };
    add(withSlash(sword::FileMgr::getEnvValue("SWORD_PATH").c_str()));
    if (m->manager->prefixPath)
        add(withSlash(m->manager->prefixPath));
    for (const ModuleInfo& module : modules())
        add(module.folder);
    const std::string home = sword::FileMgr::getSystemFileMgr()->getHomeDir().c_str();
    if (!home.empty())
        add(withSlash(home) + ".sword/");
    return folders;
}

std::vector<ModuleInfo> SwordLibrary::modules() const {
    std::vector<ModuleInfo> result;
    for (const auto& [name, module] : m->manager->getModules())
        result.push_back(describe(module));
    return result;
}

bool SwordLibrary::isDictionary(const ModuleInfo& module) const {
    return module.type == sword::SWMgr::MODTYPE_LEXDICTS && module.entries >= 0;
}

sword::SWModule* SwordLibrary::module(const std::string& name) const {
    return m->manager->getModule(name.c_str());
}

ModuleInfo SwordLibrary::describe(sword::SWModule* module) const {
    ModuleInfo info;
    info.name = module->getName() ? module->getName() : "";
    info.type = module->getType() ? module->getType() : "";
    info.description = module->getDescription() ? module->getDescription() : "";
    const char* folder = module->getConfigEntry("PrefixPath");
    info.folder = folder ? withSlash(folder) : std::string();
    if (const auto* dictionary = dynamic_cast<const sword::SWLD*>(module))
        info.entries = dictionary->getEntryCount();
    const auto entry = [module](const char* key) {
        const char* value = module->getConfigEntry(key);
        return std::string(value ? value : "");
    };
    info.version = entry("Version");
    info.licence = entry("DistributionLicense");
    info.size = std::atoll(entry("InstallSize").c_str());
    if (info.size <= 0)
        info.size = filesSize(entry("AbsoluteDataPath"));
    return info;
}

std::string SwordLibrary::renderPlain(sword::SWModule* module) const {
    // The entry's lines are marked first (LineMarks.h): the plain filters would run them
    // together.
    sword::SWBuf raw = module->getRawEntryBuf();
    if (m->filters->undeclared(module) && !isUtf8(raw))
        m->latin1.processText(raw, module->getKey(), module);
    const std::string marked = markLines(raw.c_str());
    return linesFromMarks(module->renderText(marked.c_str(), int(marked.length())).c_str());
}

std::string SwordLibrary::takeError() {
    return m->log->take();
}

} // namespace tolvane::swordread
