#include "csv_table.h"

#include "run_frame.h"
#include "text_encoding.h"

namespace {

constexpr std::string_view utf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr size_t pieceSize = 64 * 1024;

void appendField(std::string_view field, std::string& row) {
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        row += field;
        return;
    }
    row += '"';
    for (char c : field) {
        if (c == '"') row += '"';
        row += c;
    }
    row += '"';
}

} // namespace

bool CsvTable::open(const std::string& path, CsvEncoding tableEncoding, std::string_view header) {
    encoding = tableEncoding;
    opened = file.open(path.c_str(), TextEncoding::ShiftJis);
    if (!opened) return false;
    if (encoding == CsvEncoding::Utf8WithBom) file.write(utf8ByteOrderMark);
    file.write(header);
    file.write("\r\n");
    return true;
}

// The comma, the quote, CR and LF are never the second byte of a double-byte character, so a
// field is quoted by its bytes, and the quotes survive the conversion.
std::string CsvTable::rowText(std::initializer_list<std::string_view> fields) const {
    std::string row;
    bool first = true;
    for (std::string_view field : fields) {
        if (!first) row += ',';
        appendField(field, row);
        first = false;
    }
    row += "\r\n";
    return encoding == CsvEncoding::ShiftJis ? row : fromCodePage932(TextEncoding::Utf8, row);
}

void CsvTable::addRow(std::initializer_list<std::string_view> fields) {
    addRows(rowText(fields));
}

void CsvTable::addRows(std::string_view rows) {
    pending += rows;
    if (pending.size() < pieceSize) return;
    file.write(pending);
    pending.clear();
}

bool CsvTable::close() {
    file.write(pending);
    pending.clear();
    return file.close();
}

bool openTable(CsvTable& table, const std::string& path, CsvEncoding encoding,
               std::string_view header, RunFailure& report) {
    if (path.empty() || table.open(path, encoding, header)) return true;
    reported(RunResult::OutputError, path.c_str(), table.error(), report);
    return false;
}

bool closeTable(CsvTable& table, const std::string& path, RunFailure& report) {
    if (!table.isOpen() || table.close()) return true;
    reported(RunResult::OutputError, path.c_str(), table.error(), report);
    return false;
}
