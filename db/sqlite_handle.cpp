#include "sqlite_handle.h"

#include <cmath>
#include <limits>

namespace db {

sqlite_connection::sqlite_connection(const std::string& path, bool create) {
    const int flags =
        SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
    if (sqlite3_open_v2(path.c_str(), &m_db, flags, nullptr) != SQLITE_OK) {
        const std::string message = m_db ? sqlite3_errmsg(m_db) : "out of memory";
        sqlite3_close(m_db);
        m_db = nullptr;
        throw store_error("cannot open " + path + ": " + message);
    }
    sqlite3_extended_result_codes(m_db, 1);
}

sqlite_connection::~sqlite_connection() {
    sqlite3_close(m_db);
}

void sqlite_connection::exec(const std::string& sql) {
    char* message = nullptr;
    if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string text = message ? message : sqlite3_errmsg(m_db);
        sqlite3_free(message);
        throw store_error(text);
    }
}

void sqlite_connection::fail(const std::string& what) const {
    throw store_error(what + ": " + sqlite3_errmsg(m_db));
}

sqlite_statement::sqlite_statement(const sqlite_connection& connection, const char* sql)
    : m_connection(connection) {
    if (sqlite3_prepare_v3(connection.get(), sql, -1, SQLITE_PREPARE_PERSISTENT, &m_statement,
                           nullptr) != SQLITE_OK) {
        connection.fail(std::string("cannot prepare ") + sql);
    }
}

sqlite_statement::~sqlite_statement() {
    sqlite3_finalize(m_statement);
}

void sqlite_statement::reset() {
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
}

void sqlite_statement::bind_one(int index, int64_t value) {
    sqlite3_bind_int64(m_statement, index, value);
}

void sqlite_statement::bind_one(int index, double value) {
    if (std::isnan(value)) {
        sqlite3_bind_null(m_statement, index);
    } else {
        sqlite3_bind_double(m_statement, index, value);
    }
}

void sqlite_statement::bind_one(int index, std::string_view text) {
    sqlite3_bind_text64(m_statement, index, text.data(), text.size(), SQLITE_TRANSIENT,
                        SQLITE_UTF8);
}

void sqlite_statement::bind_one(int index, std::nullptr_t) {
    sqlite3_bind_null(m_statement, index);
}

bool sqlite_statement::step() {
    const int status = sqlite3_step(m_statement);
    if (status == SQLITE_ROW) {
        return true;
    }
    if (status != SQLITE_DONE) {
        const std::string sql = sqlite3_sql(m_statement);
        sqlite3_reset(m_statement);
        m_connection.fail(sql.substr(0, 60));
    }
    return false;
}

double sqlite_statement::real(int column) const {
    return is_null(column) ? std::numeric_limits<double>::quiet_NaN()
                           : sqlite3_column_double(m_statement, column);
}

std::string_view sqlite_statement::text(int column) const {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    return bytes ? std::string_view(bytes,
                                    static_cast<size_t>(sqlite3_column_bytes(m_statement, column)))
                 : std::string_view();
}

} // namespace db
