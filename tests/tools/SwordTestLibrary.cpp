#include "SwordTestLibrary.h"

#include "import/SwordReader.h"

#include <markupfiltmgr.h>
#include <swld.h>
#include <swmgr.h>
#include <swmodule.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <memory>

namespace tolvane::test {

namespace {

std::unique_ptr<sword::SWMgr>
debianLibrary(const QString& folder = QString::fromLatin1(kDebianSwordFolder)) {
    return std::make_unique<sword::SWMgr>(QFile::encodeName(folder).constData(), true,
                                          new sword::MarkupFilterMgr(sword::FMT_PLAIN), false,
                                          false);
}

// The module's configuration section as text, with `extra` lines added.
QByteArray configText(sword::SWModule& module, const QByteArray& extra = {}) {
    QByteArray text = "[" + QByteArray(module.getName()) + "]\n";
    for (const auto& [key, value] : module.getConfig())
        if (key != "PrefixPath" && key != "AbsoluteDataPath")
            text += QByteArray(key.c_str()) + "=" + QByteArray(value.c_str()) + "\n";
    return text + extra;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

} // namespace

bool debianSwordModuleReady(const QString& module) {
    return !import::swordReaderPath().isEmpty() &&
           debianLibrary()->getModule(module.toUtf8().constData()) != nullptr;
}

std::vector<ReferenceEntry> libswordEntries(const QString& module) {
    auto library = debianLibrary();
    sword::SWModule* found = library->getModule(module.toUtf8().constData());
    EXPECT_NE(found, nullptr);
    QTemporaryDir corrected;
    if (found && !found->getConfigEntry("Encoding")) {
        QDir(corrected.path()).mkpath(QStringLiteral("mods.d"));
        writeFile(corrected.filePath(QStringLiteral("mods.d/module.conf")),
                  configText(*found, "Encoding=UTF-8\n"));
        QFile::link(QString::fromLatin1(kDebianSwordFolder) + QStringLiteral("/modules"),
                    corrected.filePath(QStringLiteral("modules")));
        library = debianLibrary(corrected.path());
        found = library->getModule(module.toUtf8().constData());
    }
    std::vector<ReferenceEntry> entries;
    if (!found)
        return entries;
    for (*found = sword::TOP; !found->popError(); (*found)++)
        entries.push_back({QString::fromUtf8(found->getKeyText()),
                           QString::fromUtf8(found->renderText().c_str())});
    return entries;
}

QString copyModuleLibrary(const QString& module, const QString& library) {
    auto debian = debianLibrary();
    sword::SWModule* found = debian->getModule(module.toUtf8().constData());
    if (!found)
        return {};
    const QString relative = QString::fromUtf8(found->getConfigEntry("DataPath"));
    const QString source = QString::fromUtf8(found->getConfigEntry("AbsoluteDataPath"));
    // DataPath names the files' folder plus the common start of their names.
    const QString target = QDir(library).filePath(QFileInfo(relative).path());
    QDir().mkpath(target);
    QDir().mkpath(QDir(library).filePath(QStringLiteral("mods.d")));
    writeFile(QDir(library).filePath(QStringLiteral("mods.d/module.conf")), configText(*found));
    const QDir from(QFileInfo(source).isDir() ? source : QFileInfo(source).path());
    for (const QString& name : from.entryList(QDir::Files))
        QFile::copy(from.filePath(name), QDir(target).filePath(name));
    return target;
}

} // namespace tolvane::test
