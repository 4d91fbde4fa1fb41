#include "JetDump.h"

#include "LibraryNoise.h"
#include "StreamWriter.h"
#include "engine/legacy/JetProtocol.h"

// glib.h must come before mdbtools.h in C++: the library header opens an extern "C" block
// and includes glib.h inside it, which drags C++ templates into C linkage.
#include <glib.h>
#include <mdbtools.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

namespace tolvane::jetread {

namespace js = tolvane::engine::jetstream;

namespace {

// libmdb converts every value through a buffer of this many bytes (its default is 16 KB).
// A text column holds at most one page of data, 4 KB, which is at most 12 KB of UTF-8; memo
// values get a buffer sized to each value (see readMemo), so nothing is ever cut short.
constexpr std::size_t kBindSize = 64 * 1024;
// A memo longer than this is taken for damage rather than text (Jet's own limit is 1 GB, far
// beyond any dictionary entry; the helper's memory limit would stop it long before anyway).
constexpr std::size_t kMaxMemoBytes = 256u * 1024u * 1024u;

struct Failed {
    std::string message;
};

[[noreturn]] void fail(std::string message) { throw Failed{std::move(message)}; }

std::string quoted(std::string_view name) { return "'" + std::string(name) + "'"; }

void checkQuiet(LibraryNoise& noise, const std::string& what) {
    const std::string printed = noise.take();
    if (!printed.empty())
        fail(what + " (the library reported: " + LibraryNoise::firstLine(printed) + ")");
}

std::string hex(const unsigned char* bytes, std::size_t size) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(size * 2);
    for (std::size_t i = 0; i < size; ++i) {
        out.push_back(digits[bytes[i] >> 4]);
        out.push_back(digits[bytes[i] & 0x0f]);
    }
    return out;
}

struct TableCloser {
    void operator()(MdbTableDef* t) const { mdb_free_tabledef(t); }
};
struct HandleCloser {
    void operator()(MdbHandle* h) const { mdb_close(h); }
};

class TableReader {
public:
    TableReader(MdbHandle* mdb, MdbCatalogEntry* entry, StreamWriter& out, LibraryNoise& noise)
        : m_mdb(mdb), m_entry(entry), m_out(out), m_noise(noise), m_name(entry->object_name) {}

    void read() {
        const std::string what = "table " + quoted(m_name);
        m_table.reset(mdb_read_table(m_entry));
        if (!m_table)
            fail(what + " is listed but cannot be read");
        if (!mdb_read_columns(m_table.get()) || m_table->num_cols == 0 ||
            m_table->columns->len != m_table->num_cols)
            fail("the columns of " + what + " cannot be read");
        checkQuiet(m_noise, "the definition of " + what + " is damaged");

        const unsigned columnCount = m_table->num_cols;
        m_out.table(m_name, columnCount);
        m_buffers.assign(columnCount, {});
        m_lengths.assign(columnCount, 0);
        for (unsigned i = 0; i < columnCount; ++i) {
            MdbColumn* col = column(i);
            m_out.column(static_cast<unsigned char>(col->col_type), col->name);
            // Memo columns stay unbound: libmdb would squeeze them through the fixed bind
            // buffer. They are read whole after each fetch instead.
            if (col->col_type == MDB_MEMO)
                continue;
            m_buffers[i].assign(kBindSize, '\0');
            if (mdb_bind_column(m_table.get(), static_cast<int>(i + 1), m_buffers[i].data(),
                                &m_lengths[i]) < 0)
                fail("column " + quoted(col->name) + " of " + what + " cannot be read");
        }

        mdb_rewind_table(m_table.get());
        std::uint32_t rows = 0;
        while (mdb_fetch_row(m_table.get())) {
            m_out.beginRow();
            for (unsigned i = 0; i < columnCount; ++i)
                writeValue(i);
            m_out.endRow();
            ++rows;
        }
        checkQuiet(m_noise, what + " is damaged");
        // libmdb stops quietly at a page it cannot read; the row count kept in the table's
        // definition is what tells a complete table from a cut-off one.
        if (rows != m_table->num_rows)
            fail(what + " is damaged: " + std::to_string(rows) + " of its " +
                 std::to_string(m_table->num_rows) + " rows could be read");
        m_out.tableDone(rows);
    }

private:
    MdbColumn* column(unsigned i) const {
        return static_cast<MdbColumn*>(g_ptr_array_index(m_table->columns, i));
    }

    void writeValue(unsigned i) {
        MdbColumn* col = column(i);
        switch (col->col_type) {
        case MDB_MEMO:
            return writeMemo(col);
        case MDB_OLE:
            return writeOle(col, i);
        case MDB_BINARY:
            return writeBinary(col);
        default:
            break;
        }
        // libmdb cannot tell a zero-length text from a missing value (both come back empty);
        // like its own export tool, an empty value is read as null.
        const int len = m_lengths[i];
        if (len <= 0 || static_cast<std::size_t>(len) >= kBindSize)
            return m_out.nullField();
        m_out.textField(std::string_view(m_buffers[i].data(), static_cast<std::size_t>(len)));
    }

    void writeMemo(MdbColumn* col) {
        const int start = col->cur_value_start;
        const int size = col->cur_value_len;
        if (size < MDB_MEMO_OVERHEAD || start < 0 || start + size > m_mdb->fmt->pg_size)
            return m_out.nullField();
        const auto header = static_cast<std::uint32_t>(mdb_get_int32(m_mdb->pg_buf, start));
        const std::size_t stored = header & 0x3fffffffu;
        if (stored > kMaxMemoBytes)
            fail("a memo in column " + quoted(col->name) + " of table " + quoted(m_name) +
                 " claims " + std::to_string(stored) + " bytes");
        // Stored bytes are single-byte code page text, compressed or plain UCS-2: none of
        // them turns into more than three bytes of UTF-8.
        const std::size_t need = std::max(kBindSize, stored * 3 + 16);
        mdb_set_bind_size(m_mdb, need);
        char* text = mdb_col_to_string(m_mdb, m_mdb->pg_buf, start, MDB_MEMO, size);
        mdb_set_bind_size(m_mdb, kBindSize);
        if (!text)
            return m_out.nullField();
        const std::size_t len = std::strlen(text);
        if (len + 1 >= need) {
            g_free(text);
            fail("a memo in column " + quoted(col->name) + " of table " + quoted(m_name) +
                 " could not be read whole");
        }
        if (len == 0)
            m_out.nullField();
        else
            m_out.textField(std::string_view(text, len));
        g_free(text);
    }

    void writeOle(MdbColumn* col, unsigned i) {
        if (m_lengths[i] <= 0)
            return m_out.nullField();
        std::size_t size = 0;
        void* data = mdb_ole_read_full(m_mdb, col, &size);
        if (!data)
            fail("an OLE value in column " + quoted(col->name) + " of table " + quoted(m_name) +
                 " cannot be read");
        if (size == 0)
            m_out.nullField();
        else
            m_out.textField(hex(static_cast<const unsigned char*>(data), size));
        std::free(data);
    }

    void writeBinary(MdbColumn* col) {
        const int start = col->cur_value_start;
        const int size = col->cur_value_len;
        if (size <= 0 || start < 0 || start + size > m_mdb->fmt->pg_size)
            return m_out.nullField();
        m_out.textField(hex(m_mdb->pg_buf + start, static_cast<std::size_t>(size)));
    }

    MdbHandle* m_mdb;
    MdbCatalogEntry* m_entry;
    StreamWriter& m_out;
    LibraryNoise& m_noise;
    std::string m_name;
    std::unique_ptr<MdbTableDef, TableCloser> m_table;
    std::vector<std::vector<char>> m_buffers;
    std::vector<int> m_lengths;
};

std::vector<MdbCatalogEntry*> userTables(MdbHandle* mdb) {
    std::vector<MdbCatalogEntry*> tables;
    bool listsItself = false;
    for (unsigned i = 0; mdb->catalog && i < mdb->catalog->len; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (!entry)
            continue;
        if (std::strcmp(entry->object_name, "MSysObjects") == 0)
            listsItself = true;
        if (entry->object_type != MDB_TABLE || mdb_is_system_table(entry))
            continue;
        // A blank name is what a catalog read from a damaged page looks like.
        if (entry->object_name[0] == '\0')
            fail("its list of tables is damaged");
        tables.push_back(entry);
    }
    // Every Jet database lists its own catalog table. A file cut short can leave a catalog
    // the library reads as empty, which would pass for a database without tables.
    if (!listsItself)
        fail("its list of tables is damaged");
    return tables;
}

} // namespace

int dumpDatabase(const DumpRequest& request, StreamWriter& out, LibraryNoise& noise) {
    try {
        std::unique_ptr<MdbHandle, HandleCloser> mdb(mdb_open(request.path.c_str(), MDB_NOFLAGS));
        if (!mdb)
            fail("it is not an Access database");
        switch (mdb->f->jet_version) {
        case MDB_VER_JET3:
            out.format("JET3");
            break;
        case MDB_VER_JET4:
            out.format("JET4");
            break;
        default:
            fail("it is a newer Access database (.accdb), not a Jet 3 or Jet 4 file");
        }
        mdb_set_bind_size(mdb.get(), kBindSize);
        mdb_set_date_fmt(mdb.get(), "%Y-%m-%d %H:%M:%S");
        mdb_set_shortdate_fmt(mdb.get(), "%Y-%m-%d");
        mdb_set_boolean_fmt_numbers(mdb.get());

        if (!mdb_read_catalog(mdb.get(), MDB_TABLE))
            fail("its list of tables cannot be read");
        checkQuiet(noise, "its list of tables is damaged");
        std::vector<MdbCatalogEntry*> tables = userTables(mdb.get());

        if (!request.tables.empty()) {
            std::vector<MdbCatalogEntry*> chosen;
            for (const std::string& wanted : request.tables) {
                MdbCatalogEntry* found = nullptr;
                for (MdbCatalogEntry* entry : tables)
                    if (wanted == entry->object_name)
                        found = entry;
                if (!found)
                    fail("it has no table " + quoted(wanted));
                chosen.push_back(found);
            }
            tables = chosen;
        }

        for (MdbCatalogEntry* entry : tables)
            TableReader(mdb.get(), entry, out, noise).read();
        out.end(static_cast<std::uint32_t>(tables.size()));
        return 0;
    } catch (const Failed& f) {
        out.failure(f.message);
        return js::kExitReportedFailure;
    }
}

} // namespace tolvane::jetread
