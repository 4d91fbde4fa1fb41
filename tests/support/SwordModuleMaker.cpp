#include "support/SwordModuleMaker.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

namespace tolvane::test {

bool canMakeSwordModules() {
    return !QStandardPaths::findExecutable(QStringLiteral("imp2ld")).isEmpty();
}

QString makeSwordModule(const QString& library, const SwordTestModule& module) {
    const QString lower = module.name.toLower();
    const QString dataPath =
        QStringLiteral("modules/lexdict/%1/%2")
            .arg(module.driver == u"zLD" ? QStringLiteral("zld") : QStringLiteral("rawld"), lower);
    QDir root(library);
    if (!root.mkpath(QStringLiteral("mods.d")) || !root.mkpath(dataPath))
        return QStringLiteral("cannot make the folders in ") + library;

    QByteArray imp;
    for (const auto& [key, text] : module.entries)
        imp += "$$$" + key.toUtf8() + "\n" + text.toUtf8() + "\n";
    const QString impPath = root.filePath(lower + QStringLiteral(".imp"));
    QFile impFile(impPath);
    if (!impFile.open(QIODevice::WriteOnly) || impFile.write(imp) != imp.size())
        return QStringLiteral("cannot write ") + impPath;
    impFile.close();

    QStringList arguments{impPath, QStringLiteral("-o"), root.filePath(dataPath + u'/' + lower)};
    if (module.driver == u"zLD")
        arguments << QStringLiteral("-z") << QStringLiteral("z");
    if (module.driver == u"RawLD4")
        arguments << QStringLiteral("-4");
    QProcess imp2ld;
    imp2ld.setProcessChannelMode(QProcess::MergedChannels);
    imp2ld.start(QStringLiteral("imp2ld"), arguments);
    if (!imp2ld.waitForFinished(30000) || imp2ld.exitCode() != 0)
        return QStringLiteral("imp2ld failed: ") + QString::fromLocal8Bit(imp2ld.readAll());
    QFile::remove(impPath);

    const QByteArray conf =
        "[" + module.name.toUtf8() + "]\n" + "DataPath=./" + dataPath.toUtf8() + "/" +
        lower.toUtf8() + "\n" + "ModDrv=" + module.driver.toUtf8() + "\n" +
        (module.driver == u"zLD" ? QByteArray("CompressType=ZIP\n") : QByteArray()) +
        "SourceType=" + module.markup.toUtf8() + "\n" + "Encoding=UTF-8\n" + "Lang=en\n" +
        "Description=" + module.description.toUtf8() + "\n" + "Version=" + module.version.toUtf8() +
        "\n" + "DistributionLicense=Public Domain\n";
    QFile confFile(root.filePath(QStringLiteral("mods.d/") + lower + QStringLiteral(".conf")));
    if (!confFile.open(QIODevice::WriteOnly) || confFile.write(conf) != conf.size())
        return QStringLiteral("cannot write ") + confFile.fileName();
    return {};
}

} // namespace tolvane::test
