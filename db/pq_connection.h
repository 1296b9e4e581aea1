#pragma once
// libpq's C API held in objects that free what they hold, and turn every failure into a
// store_error carrying the server's message. Parameters and results are in text format.
#include <libpq-fe.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace db::pq {

// A statement's parameter as text; nullopt is NULL.
using param = std::optional<std::string>;

class result {
public:
    explicit result(PGresult* result) : m_result(result) {}
    result(result&& other) noexcept : m_result(std::exchange(other.m_result, nullptr)) {}
    result& operator=(result&&) = delete;
    ~result() { PQclear(m_result); }

    int rows() const { return PQntuples(m_result); }
    bool null(int row, int column) const { return PQgetisnull(m_result, row, column) != 0; }
    std::string_view text(int row, int column) const {
        return {PQgetvalue(m_result, row, column),
                static_cast<size_t>(PQgetlength(m_result, row, column))};
    }
    int64_t integer(int row, int column) const;
    double real(int row, int column) const; // NULL reads as NaN
    bool boolean(int row, int column) const { return text(row, column) == "t"; }
    PGresult* get() const { return m_result; }

private:
    PGresult* m_result;
};

class connection {
public:
    explicit connection(const std::string& conninfo);
    connection(const connection&) = delete;
    connection& operator=(const connection&) = delete;
    ~connection() { PQfinish(m_conn); }

    // `sql` may hold several statements when it has no parameters. A statement with
    // parameters is prepared on the server the first time and reused after: planning a
    // query over many month partitions costs more than running it.
    result exec(const char* sql, const std::vector<param>& params = {});
    // Runs "COPY ... FROM STDIN" and sends `rows` in COPY's text format.
    void copy_in(const char* sql, std::string_view rows);

private:
    [[noreturn]] void fail(std::string_view what) const;

    PGconn* m_conn;
    std::unordered_map<std::string, std::string> m_prepared; // sql -> statement name
};

} // namespace db::pq
