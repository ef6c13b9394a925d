#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <span>
#include <string>

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
  int64_t ColumnInt(int column) const;
  double ColumnDouble(int column) const;
  std::string ColumnText(int column) const;

 private:
  sqlite3* m_db;
  sqlite3_stmt* m_statement = nullptr;
  int m_prepareResult;
};

// Runs statements that return no rows; the SQLite result code.
int ZuSqlExecute(sqlite3* db, const char* sql);

// One line for a failed SQLite call: what the failure means for a project file.
std::string ZuSqlDescribe(sqlite3* db, int code);
