#include "import/SwordReader.h"

#include "import/SwordProtocol.h"
#include "platform/HelperProcess.h"

#include <QDataStream>

#include <cstring>
#include <optional>

namespace tolvane::import {

namespace ss = swordstream;

namespace {

const QString kHelperName = QStringLiteral("tolvane-swordread");
// Far beyond any dictionary module (the largest are a few tens of megabytes of text); more
// is a helper gone wrong.
constexpr qint64 kOutputLimit = 1ll << 30;

QString describeModule(const QString& name) {
    return name.isEmpty() ? QStringLiteral("SWORD") : QStringLiteral("SWORD module %1").arg(name);
}

[[noreturn]] void fail(const QString& module, const QString& message) {
    throw ImportError(describeModule(module), 0, message);
}

[[noreturn]] void malformed(const QString& module, const QString& why) {
    fail(module, QStringLiteral("the reading helper's answer is malformed (%1); the module is "
                                "probably damaged")
                     .arg(why));
}

// One record of the helper's answer (SwordProtocol.h).
struct Record {
    quint8 tag = 0;
    QByteArray first, second; // 'S': folder; 'E': key, text; 'X': message, detail
    SwordModule module;       // 'M'
    quint8 kind = 0;          // 'X'
    qint64 count = 0;         // 'Z'
};

// The helper's answer taken apart as it arrives: every complete record is handed on at once;
// every way the answer can be malformed throws.
class AnswerReader {
public:
    explicit AnswerReader(const QString& module) : m_module(module) {}

    void take(const QByteArray& data, const std::function<void(Record&)>& handle) {
        m_pending += data;
        qint64 used = 0;
        {
            QDataStream in(m_pending);
            in.setVersion(QDataStream::Qt_6_0);
            if (!m_magicSeen) {
                char magic[sizeof ss::kMagic] = {};
                if (in.readRawData(magic, sizeof magic) != int(sizeof magic))
                    return; // more to come
                if (std::memcmp(magic, ss::kMagic, sizeof magic) != 0)
                    malformed(QStringLiteral("no answer"));
                m_magicSeen = true;
                used = in.device()->pos();
            }
            for (Record record; read(in, record); record = {}) {
                used = in.device()->pos();
                if (m_ended)
                    malformed(QStringLiteral("data after its end"));
                m_ended = record.tag == ss::End;
                handle(record);
            }
        }
        m_pending.remove(0, used);
    }

    // The helper has ended: whatever it left unfinished is malformed.
    void finish() {
        if (!m_magicSeen)
            malformed(QStringLiteral("no answer"));
        if (!m_pending.isEmpty())
            malformed(m_ended ? QStringLiteral("data after its end")
                              : QStringLiteral("it ends early"));
        if (!m_ended)
            malformed(QStringLiteral("it ends early"));
    }

private:
    [[noreturn]] void malformed(const QString& why) const { import::malformed(m_module, why); }

    // False when the data ends inside the record.
    bool read(QDataStream& in, Record& r) {
        in >> r.tag;
        switch (r.tag) {
        case ss::Searched:
            in >> r.first;
            break;
        case ss::Module:
            r.module.name = text(in);
            r.module.type = text(in);
            r.module.description = text(in);
            r.module.folder = text(in);
            in >> r.module.entries;
            r.module.version = text(in);
            r.module.licence = text(in);
            in >> r.module.size;
            break;
        case ss::Entry:
            in >> r.first >> r.second;
            break;
        case ss::Failure:
            in >> r.kind >> r.first >> r.second;
            break;
        case ss::End:
            in >> r.count;
            break;
        default:
            if (in.status() == QDataStream::Ok)
                malformed(QStringLiteral("an unknown record"));
        }
        if (in.status() == QDataStream::ReadPastEnd)
            return false;
        if (in.status() != QDataStream::Ok)
            malformed(QStringLiteral("a record it cannot hold"));
        return true;
    }
    static QString text(QDataStream& in) {
        QByteArray bytes;
        in >> bytes;
        return QString::fromUtf8(bytes);
    }

    QString m_module;
    QByteArray m_pending;
    bool m_magicSeen = false;
    bool m_ended = false;
};

// Runs the helper with `request`, handing each record of its answer to `handle` as it
// arrives; throws ImportError when the helper fails or its answer is malformed.
void runHelper(const QStringList& request, const QString& module, const SwordReadOptions& options,
               const std::function<void(Record&)>& handle) {
    using Helper = platform::HelperProcess;
    const QString helper = options.helperPath.isEmpty() ? swordReaderPath() : options.helperPath;
    if (helper.isEmpty())
        fail(module, QStringLiteral("the reading helper %1 is not installed beside the program")
                         .arg(kHelperName));
    AnswerReader answer(module);
    try {
        Helper process(helper, request, {options.timeoutMs, options.memoryLimitMb, kOutputLimit});
        QByteArray chunk;
        while (process.read(chunk))
            answer.take(chunk, handle);
        if (process.stoppedAbnormally())
            throw Helper::Failure{Helper::Fault::StoppedAbnormally, {}};
        if (process.exitCode() == ss::kExitUsage)
            fail(module, QStringLiteral("the reading helper %1 refused its arguments").arg(helper));
    } catch (const Helper::Failure& failure) {
        switch (failure.fault) {
        case Helper::Fault::NotStarted:
            fail(module, QStringLiteral("the reading helper %1 could not be started (%2)")
                             .arg(helper, failure.detail));
        case Helper::Fault::TooMuchOutput:
            fail(module, QStringLiteral("libsword produced more text than any dictionary holds; "
                                        "the module is probably damaged"));
        case Helper::Fault::TimedOut:
            fail(module, QStringLiteral("reading it did not finish within %1 seconds; the module "
                                        "is probably damaged")
                             .arg(double(options.timeoutMs) / 1000.0));
        case Helper::Fault::StoppedAbnormally:
            fail(module,
                 module.isEmpty()
                     ? QStringLiteral("libsword stopped abnormally while listing the installed "
                                      "modules; one of them is probably damaged")
                     : QStringLiteral("libsword stopped abnormally while reading it; the "
                                      "module is probably damaged"));
        }
    }
    answer.finish();
}

[[noreturn]] void reportFailure(const Record& record, const QString& module,
                                const QStringList& searched) {
    const QString message = QString::fromUtf8(record.first);
    const QString detail = QString::fromUtf8(record.second);
    switch (record.kind) {
    case ss::NotFound:
        fail(module, QStringLiteral("no such module is installed; searched %1")
                         .arg(searched.isEmpty() ? QStringLiteral("no folder (libsword found no "
                                                                  "module library)")
                                                 : searched.join(QStringLiteral(", "))));
    case ss::NotDictionary:
        fail(module, QStringLiteral("is not a dictionary but of the type \"%1\"; only dictionary "
                                    "modules (Lexicons / Dictionaries) can be imported")
                         .arg(detail));
    default:
        fail(module, QStringLiteral("the module is damaged: %1%2")
                         .arg(message, detail.isEmpty()
                                           ? QString()
                                           : QStringLiteral(" (at the entry '%1')").arg(detail)));
    }
}

void expectCount(const QString& module, qint64 announced, qint64 received) {
    if (announced != received)
        malformed(module, QStringLiteral("%1 records where it announces %2")
                              .arg(QString::number(received), QString::number(announced)));
}

} // namespace

QString swordReaderPath() {
    return platform::findHelper(kHelperName, "TOLVANE_SWORDREAD", "TOLVANE_BIN_DIR");
}

SwordListing listSwordDictionaries(const SwordReadOptions& options) {
    SwordListing listing;
    runHelper({QStringLiteral("--list")}, {}, options, [&listing](Record& record) {
        switch (record.tag) {
        case ss::Searched:
            listing.searched << QString::fromUtf8(record.first);
            break;
        case ss::Module:
            listing.dictionaries.push_back(record.module);
            break;
        case ss::Failure:
            reportFailure(record, {}, listing.searched);
        case ss::End:
            expectCount({}, record.count, qint64(listing.dictionaries.size()));
            break;
        default:
            malformed({}, QStringLiteral("a record out of place"));
        }
    });
    return listing;
}

void readSwordDictionary(const QString& name, const SwordReadOptions& options,
                         const SwordEntrySink& sink) {
    // A name that begins with '-' ("-rf") is a name like any other: the helper takes the
    // argument after --module as the name, whatever it looks like.
    if (name.isEmpty())
        fail(name, QStringLiteral("is not a module name"));
    QStringList searched;
    std::optional<SwordModule> module;
    qint64 entries = 0;
    runHelper({QStringLiteral("--module"), name}, name, options, [&](Record& record) {
        switch (record.tag) {
        case ss::Searched:
            searched << QString::fromUtf8(record.first);
            break;
        case ss::Module:
            if (module)
                malformed(name, QStringLiteral("a second module"));
            module = record.module;
            sink.module(*module);
            break;
        case ss::Entry:
            if (!module)
                malformed(name, QStringLiteral("an entry before its module"));
            if (++entries > module->entries)
                malformed(
                    name,
                    QStringLiteral("more entries than the module holds (%1)").arg(module->entries));
            sink.entry({std::move(record.first), std::move(record.second)});
            break;
        case ss::Failure:
            reportFailure(record, name, searched);
        case ss::End:
            if (!module)
                malformed(name, QStringLiteral("no module"));
            expectCount(name, record.count, entries);
            if (entries != module->entries)
                malformed(name,
                          QStringLiteral("%1 entries where the module holds %2")
                              .arg(QString::number(entries), QString::number(module->entries)));
            break;
        default:
            malformed(name, QStringLiteral("a record out of place"));
        }
    });
}

} // namespace tolvane::import
