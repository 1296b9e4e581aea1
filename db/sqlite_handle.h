#pragma once
// SQLite's C API held by RAII: a connection and its prepared statements. Every failure is a
// store_error in SQLite's words.
#include "store.h"

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace db {

class sqlite_connection {
public:
    // Opens `path`; `create` allows a new file.
    sqlite_connection(const std::string& path, bool create);
    ~sqlite_connection();
    sqlite_connection(const sqlite_connection&) = delete;
    sqlite_connection& operator=(const sqlite_connection&) = delete;

    // Runs statements that return no rows.
    void exec(const std::string& sql);
    sqlite3* get() const { return m_db; }
    [[noreturn]] void fail(const std::string& what) const;

private:
    sqlite3* m_db = nullptr;
};

class sqlite_statement {
public:
    sqlite_statement(const sqlite_connection& connection, const char* sql);
    ~sqlite_statement();
    sqlite_statement(const sqlite_statement&) = delete;
    sqlite_statement& operator=(const sqlite_statement&) = delete;

    // Binds from the first parameter on, after a reset.
    template <typename... Values> sqlite_statement& bind(const Values&... values) {
        reset();
        int index = 0;
        (bind_one(++index, values), ...);
        return *this;
    }
    void bind_one(int index, int64_t value);
    void bind_one(int index, int value) { bind_one(index, static_cast<int64_t>(value)); }
    void bind_one(int index, double value); // NaN as NULL
    void bind_one(int index, std::string_view text);
    void bind_one(int index, const std::string& text) { bind_one(index, std::string_view(text)); }
    void bind_one(int index, std::nullptr_t);

    // True while a row is there.
    bool step();
    // Runs a statement that returns no rows.
    void run() {
        while (step()) {
        }
    }
    void reset();

    int64_t integer(int column) const { return sqlite3_column_int64(m_statement, column); }
    double real(int column) const; // NULL as NaN
    bool is_null(int column) const {
        return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
    }
    std::string_view text(int column) const;

private:
    const sqlite_connection& m_connection;
    sqlite3_stmt* m_statement = nullptr;
};

} // namespace db
