#include "pq_connection.h"

#include "store.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace db::pq {
namespace {

// libpq's messages end in a newline.
std::string trimmed(const char* message) {
    std::string text = message;
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

template <class Number> Number parsed(std::string_view text) {
    Number number{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc{} || end != text.data() + text.size()) {
        throw store_error("unexpected number from the server: " + std::string(text));
    }
    return number;
}

} // namespace

int64_t result::integer(int row, int column) const {
    return parsed<int64_t>(text(row, column));
}

double result::real(int row, int column) const {
    return null(row, column) ? NAN : parsed<double>(text(row, column));
}

connection::connection(const std::string& conninfo) : m_conn(PQconnectdb(conninfo.c_str())) {
    if (m_conn == nullptr) {
        throw store_error("cannot connect to PostgreSQL: out of memory");
    }
    if (PQstatus(m_conn) != CONNECTION_OK) {
        const std::string message =
            "cannot connect to PostgreSQL: " + trimmed(PQerrorMessage(m_conn));
        PQfinish(m_conn);
        throw store_error(message);
    }
}

void connection::fail(std::string_view what) const {
    throw store_error(std::string(what) + ": " + trimmed(PQerrorMessage(m_conn)));
}

result connection::exec(const char* sql, const std::vector<param>& params) {
    PGresult* raw;
    if (params.empty()) {
        raw = PQexec(m_conn, sql);
    } else {
        std::vector<const char*> values;
        values.reserve(params.size());
        for (const param& value : params) {
            values.push_back(value ? value->c_str() : nullptr);
        }
        auto prepared = m_prepared.find(sql);
        if (prepared == m_prepared.end()) {
            std::string name = "q";
            name += std::to_string(m_prepared.size() + 1);
            const result made(PQprepare(m_conn, name.c_str(), sql, 0, nullptr));
            if (PQresultStatus(made.get()) != PGRES_COMMAND_OK) {
                fail("PostgreSQL refused a statement");
            }
            prepared = m_prepared.emplace(sql, name).first;
        }
        raw = PQexecPrepared(m_conn, prepared->second.c_str(), static_cast<int>(values.size()),
                             values.data(), nullptr, nullptr, 0);
    }
    result answer(raw);
    const ExecStatusType status = PQresultStatus(raw);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        fail("PostgreSQL refused a statement");
    }
    return answer;
}

void connection::copy_in(const char* sql, std::string_view rows) {
    PGresult* raw = PQexec(m_conn, sql);
    const result start(raw);
    if (PQresultStatus(raw) != PGRES_COPY_IN) {
        fail("PostgreSQL refused a copy");
    }
    // libpq takes an int a call.
    constexpr size_t chunk = size_t{1} << 20;
    for (size_t at = 0; at < rows.size(); at += chunk) {
        const size_t length = std::min(chunk, rows.size() - at);
        if (PQputCopyData(m_conn, rows.data() + at, static_cast<int>(length)) != 1) {
            fail("cannot send rows to PostgreSQL");
        }
    }
    if (PQputCopyEnd(m_conn, nullptr) != 1) {
        fail("cannot end a copy to PostgreSQL");
    }
    // The copy's outcome, then nothing; the connection is free again only after both.
    bool copied = false;
    std::string message;
    while ((raw = PQgetResult(m_conn)) != nullptr) {
        const result end(raw);
        if (PQresultStatus(raw) == PGRES_COMMAND_OK) {
            copied = true;
        } else if (message.empty()) {
            message = trimmed(PQresultErrorMessage(raw));
        }
    }
    if (!copied || !message.empty()) {
        throw store_error("PostgreSQL refused rows of a copy: " + message);
    }
}

} // namespace db::pq
