#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// A prepared SQLite statement, finalized when it goes. Bind indexes count from 1, column
// indexes from 0, as in SQLite.
class ZuSqlStatement {
 public:
  ZuSqlStatement(sqlite3* db, const char* sql);
  ~ZuSqlStatement();
  ZuSqlStatement(const ZuSqlStatement&) = delete;
  ZuSqlStatement& operator=(const ZuSqlStatement&) = delete;

  // SQLITE_OK when the statement compiled; otherwise the error code.
  int GetPrepareResult() const { return m_prepareResult; }

  void Bind(int index, int64_t value);
  void Bind(int index, double value);
  void Bind(int index, const std::string& text);
  // The bytes must stay alive until the statement has run.
  void BindBlob(int index, std::span<const uint8_t> bytes);

  // SQLITE_ROW, SQLITE_DONE or an error code.
  int Step();
  // Makes the statement ready to run again; the bindings stay.
  void Reset();
  int64_t ColumnInt(int column) const;
  double ColumnDouble(int column) const;
  std::string ColumnText(int column) const;
  std::vector<uint8_t> ColumnBlob(int column) const;

 private:
  sqlite3_stmt* m_statement = nullptr;
  int m_prepareResult;
};

// One blob value of a table opened for incremental reading, closed when it goes. Reading
// moves no bytes through a statement, so a large movie never needs to be in memory whole.
class ZuSqlBlobReader {
 public:
  explicit ZuSqlBlobReader(sqlite3* db) : m_db(db) {}
  ~ZuSqlBlobReader();
  ZuSqlBlobReader(const ZuSqlBlobReader&) = delete;
  ZuSqlBlobReader& operator=(const ZuSqlBlobReader&) = delete;

  // Opens the value of column in the row of table; the SQLite result code. Opening another
  // row of the same table and column again is cheaper than the first time.
  int Open(const char* table, const char* column, int64_t row);
  // The value's size in bytes; 0 when none is open.
  int GetSize() const;
  // Copies size bytes from offset; the SQLite result code.
  int Read(void* buffer, int size, int offset) const;

 private:
  sqlite3* m_db;
  sqlite3_blob* m_blob = nullptr;
  std::string m_table;  // what m_blob was opened on
  std::string m_column;
};

// Runs statements that return no rows; the SQLite result code.
int ZuSqlExecute(sqlite3* db, const char* sql);

// One line for a failed SQLite call: what the failure means for a project file.
std::string ZuSqlDescribe(sqlite3* db, int code);
