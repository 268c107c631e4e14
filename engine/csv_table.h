#pragma once

#include "keyword_engine.h"
#include "output_file.h"

#include <initializer_list>
#include <string>
#include <string_view>

// A table for a spreadsheet, in CSV as RFC 4180 writes it: a header row, fields separated by
// commas, a field holding a comma, a quote, CR or LF in quotes with its quotes doubled, and CR LF
// after every row. Fields are handed over in code page 932 and written in the table's encoding.
class CsvTable {
  public:
    // Opens the table at `path` and writes the byte order mark, if its encoding has one, and the
    // header row. False when the file cannot be opened.
    bool open(const std::string& path, CsvEncoding encoding, std::string_view header);
    bool isOpen() const { return opened; }
    void addRow(std::initializer_list<std::string_view> fields);
    // Rows made elsewhere, with rowText(), are added as they are.
    void addRows(std::string_view rows);
    // False when any write, the flush or the close failed.
    bool close();
    int error() const { return file.error(); }

    // One row in the table's encoding, CR LF included.
    std::string rowText(std::initializer_list<std::string_view> fields) const;

  private:
    OutputFile file; // written as the bytes are handed over: the table converts them itself
    CsvEncoding encoding = CsvEncoding::Utf8WithBom;
    std::string pending; // rows gathered to be written a large piece at a time
    bool opened = false;
};

// Opens the table at `path` unless the path is empty; a table that cannot be opened ends the run
// with OutputError, named in `report`.
bool openTable(CsvTable& table, const std::string& path, CsvEncoding encoding,
               std::string_view header, RunFailure& report);
// Closes the table if it is open; one that could not be written ends the run as above.
bool closeTable(CsvTable& table, const std::string& path, RunFailure& report);
