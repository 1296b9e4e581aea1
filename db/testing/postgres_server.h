#pragma once
// A PostgreSQL 15 server of a test program's own: a fresh cluster in a temporary folder named
// after the program's pid, reached over a Unix socket in that folder only, with nothing
// flushed to disk. Under root it runs as the user postgres (initdb refuses root).
//
// A test program that crashes leaves no server behind: the server is told to quit when the
// thread that started it ends (so start it from the main thread), and a later start removes
// the folders of programs no longer running.
#include <filesystem>
#include <string>

#include <sys/types.h>

namespace db::testing {

class postgres_server {
public:
    // Throws std::runtime_error holding initdb's or the server's log when it cannot start.
    postgres_server();
    postgres_server(const postgres_server&) = delete;
    postgres_server& operator=(const postgres_server&) = delete;
    ~postgres_server();

    std::string conninfo(const std::string& database) const;
    // A new empty database; its conninfo.
    std::string create_database();

private:
    std::filesystem::path m_folder;
    pid_t m_server = -1;
    int m_databases = 0;
};

// The test program's one server, started when first asked for and stopped at exit.
postgres_server& shared_server();

} // namespace db::testing
