#include "host/app/ZuSqlite.h"

ZuSqlStatement::ZuSqlStatement(sqlite3* db, const char* sql)
    : m_prepareResult(sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr)) {}

ZuSqlStatement::~ZuSqlStatement() {
  sqlite3_finalize(m_statement);
}

void ZuSqlStatement::Bind(int index, int64_t value) {
  sqlite3_bind_int64(m_statement, index, value);
}

void ZuSqlStatement::Bind(int index, double value) {
  sqlite3_bind_double(m_statement, index, value);
}

void ZuSqlStatement::Bind(int index, const std::string& text) {
  sqlite3_bind_text64(m_statement, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

void ZuSqlStatement::BindBlob(int index, std::span<const uint8_t> bytes) {
  static const uint8_t kEmpty = 0;
  sqlite3_bind_blob64(m_statement, index, bytes.empty() ? &kEmpty : bytes.data(), bytes.size(),
                      SQLITE_STATIC);
}

int ZuSqlStatement::Step() {
  if (m_prepareResult != SQLITE_OK) {
    return m_prepareResult;
  }
  return sqlite3_step(m_statement);
}

void ZuSqlStatement::Reset() {
  if (m_statement != nullptr) {
    sqlite3_reset(m_statement);
  }
}

int64_t ZuSqlStatement::ColumnInt(int column) const {
  return sqlite3_column_int64(m_statement, column);
}

double ZuSqlStatement::ColumnDouble(int column) const {
  return sqlite3_column_double(m_statement, column);
}

std::string ZuSqlStatement::ColumnText(int column) const {
  const unsigned char* text = sqlite3_column_text(m_statement, column);
  const int size = sqlite3_column_bytes(m_statement, column);
  return text == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(text), size);
}

std::vector<uint8_t> ZuSqlStatement::ColumnBlob(int column) const {
  const auto* bytes = static_cast<const uint8_t*>(sqlite3_column_blob(m_statement, column));
  const int size = sqlite3_column_bytes(m_statement, column);
  return bytes == nullptr ? std::vector<uint8_t>() : std::vector<uint8_t>(bytes, bytes + size);
}

ZuSqlBlobReader::~ZuSqlBlobReader() {
  sqlite3_blob_close(m_blob);
}

int ZuSqlBlobReader::Open(const char* table, const char* column, int64_t row) {
  if (m_blob != nullptr && m_table == table && m_column == column) {
    const int code = sqlite3_blob_reopen(m_blob, row);
    if (code == SQLITE_OK) {
      return code;
    }
  }
  sqlite3_blob_close(m_blob);
  m_blob = nullptr;
  const int code = sqlite3_blob_open(m_db, "main", table, column, row, 0, &m_blob);
  if (code != SQLITE_OK) {
    sqlite3_blob_close(m_blob);  // SQLite may hand back a handle even on failure
    m_blob = nullptr;
    return code;
  }
  m_table = table;
  m_column = column;
  return code;
}

int ZuSqlBlobReader::GetSize() const {
  return m_blob != nullptr ? sqlite3_blob_bytes(m_blob) : 0;
}

int ZuSqlBlobReader::Read(void* buffer, int size, int offset) const {
  if (m_blob == nullptr) {
    return SQLITE_MISUSE;
  }
  return sqlite3_blob_read(m_blob, buffer, size, offset);
}

int ZuSqlExecute(sqlite3* db, const char* sql) {
  return sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

std::string ZuSqlDescribe(sqlite3* db, int code) {
  switch (code & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return "project is in use by another process";
    case SQLITE_NOTADB:
      return "not a project file (not an SQLite database)";
    case SQLITE_CORRUPT:
      return "project file is damaged";
    case SQLITE_READONLY:
      return "project file is read-only";
    case SQLITE_FULL:
      return "disk is full";
    case SQLITE_NOMEM:
      return "out of memory";
    case SQLITE_IOERR:
      return "cannot read or write the project file (disk full or input/output error)";
    case SQLITE_CANTOPEN:
      return "cannot open the project file";
    case SQLITE_TOOBIG:
      return "movie is too large for a project file";
    default:
      break;
  }
  std::string message = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(code);
  return message.empty() ? std::string(sqlite3_errstr(code)) : message;
}
