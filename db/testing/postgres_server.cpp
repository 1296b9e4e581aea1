#include "postgres_server.h"

#include "pq_connection.h"

#include <cerrno>
#include <cstdlib>
#include <chrono>
#include <cstring>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace db::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string bin = "/usr/lib/postgresql/15/bin/";
const std::string folder_prefix = "qel-postgres-";
constexpr auto initdb_limit = 60s;
constexpr auto start_limit = 30s;
constexpr auto stop_limit = 30s;

struct account {
    uid_t uid;
    gid_t gid;
    bool switch_user;
};

account server_account() {
    if (geteuid() != 0) {
        return {geteuid(), getegid(), false};
    }
    const passwd* user = getpwnam("postgres");
    if (user == nullptr) {
        throw std::runtime_error("no user postgres to run the test server as (it refuses root)");
    }
    return {user->pw_uid, user->pw_gid, true};
}

std::string log_of(const fs::path& log) {
    std::ifstream in(log);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Starts `argv` as `who` with its output appended to `log`. It gets SIGQUIT (a server's
// immediate shutdown) when the calling thread ends.
pid_t spawn(const account& who, const std::vector<std::string>& argv, const fs::path& log) {
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (out < 0) {
        throw std::runtime_error("cannot open " + log.string() + ": " + std::strerror(errno));
    }
    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child == 0) {
        // Only async-signal-safe calls between fork and exec.
        const auto fail = [](const char* what) {
            (void)!write(2, what, std::strlen(what));
            _exit(127);
        };
        if (dup2(out, 1) < 0 || dup2(out, 2) < 0) {
            _exit(127);
        }
        if (who.switch_user &&
            (setgroups(0, nullptr) != 0 || setgid(who.gid) != 0 || setuid(who.uid) != 0)) {
            fail("cannot become the user postgres\n");
        }
        // After the change of user, which clears it.
        if (prctl(PR_SET_PDEATHSIG, SIGQUIT) != 0 || getppid() != parent) {
            fail("cannot follow the test program's end\n");
        }
        execv(args[0], args.data());
        fail("cannot run the program\n");
    }
    close(out);
    if (child < 0) {
        throw std::runtime_error(std::string("fork: ") + std::strerror(errno));
    }
    return child;
}

// The wait status of `child` once it ends, or nullopt if it still runs after `limit`.
std::optional<int> wait_for(pid_t child, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child || (done < 0 && errno != EINTR)) {
            return status;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(5ms);
    }
}

// The folders of test programs that are no longer running, whose servers quit with them.
void remove_stale_folders(const fs::path& temp) {
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(temp, error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(folder_prefix, 0) != 0) {
            continue;
        }
        const pid_t owner = static_cast<pid_t>(std::atol(name.c_str() + folder_prefix.size()));
        if (owner > 0 && kill(owner, 0) != 0 && errno == ESRCH) {
            fs::remove_all(entry.path(), error);
        }
    }
}

} // namespace

postgres_server::postgres_server() {
    const account who = server_account();
    const fs::path temp = fs::temp_directory_path();
    remove_stale_folders(temp);
    m_folder = temp / (folder_prefix + std::to_string(getpid()));
    fs::remove_all(m_folder);
    fs::create_directory(m_folder);
    fs::permissions(m_folder, fs::perms::owner_all);
    if (chown(m_folder.c_str(), who.uid, who.gid) != 0) {
        throw std::runtime_error("cannot give " + m_folder.string() + " to the server's user");
    }
    const fs::path log = m_folder / "server.log";
    const std::string data = (m_folder / "data").string();

    const pid_t initdb = spawn(who,
                               {bin + "initdb", "-D", data, "-U", "postgres", "-A", "trust", "-E",
                                "UTF8", "--no-locale", "--no-sync"},
                               log);
    const std::optional<int> made = wait_for(initdb, initdb_limit);
    if (!made) {
        kill(initdb, SIGKILL);
        waitpid(initdb, nullptr, 0);
    }
    if (!made || !WIFEXITED(*made) || WEXITSTATUS(*made) != 0) {
        throw std::runtime_error(
            std::string(made ? "initdb failed" : "initdb did not end in time") + ":\n" +
            log_of(log));
    }

    m_server = spawn(who,
                     {bin + "postgres", "-D", data, "-k", m_folder.string(), "-c",
                      "listen_addresses=", "-c", "fsync=off", "-c", "full_page_writes=off", "-c",
                      "synchronous_commit=off"},
                     log);
    const std::string ping = conninfo("postgres");
    const auto deadline = std::chrono::steady_clock::now() + start_limit;
    while (PQping(ping.c_str()) != PQPING_OK) {
        const std::optional<int> ended = wait_for(m_server, 10ms);
        const bool late = std::chrono::steady_clock::now() >= deadline;
        if (ended || late) {
            if (!ended) {
                kill(m_server, SIGQUIT);
                waitpid(m_server, nullptr, 0);
            }
            m_server = -1;
            throw std::runtime_error(
                std::string(ended ? "the test server ended while starting"
                                  : "the test server did not accept connections in time") +
                ":\n" + log_of(log));
        }
    }
}

postgres_server::~postgres_server() {
    if (m_server > 0) {
        kill(m_server, SIGINT); // fast shutdown: ends the sessions, then stops
        if (!wait_for(m_server, stop_limit)) {
            std::cerr << "the test server did not stop in time; killed\n";
            kill(m_server, SIGKILL);
            waitpid(m_server, nullptr, 0);
        }
    }
    std::error_code error;
    fs::remove_all(m_folder, error);
}

std::string postgres_server::conninfo(const std::string& database) const {
    return "host='" + m_folder.string() + "' dbname=" + database + " user=postgres";
}

std::string postgres_server::create_database() {
    const std::string name = "test_" + std::to_string(++m_databases);
    pq::connection(conninfo("postgres")).exec(("CREATE DATABASE " + name).c_str());
    return conninfo(name);
}

postgres_server& shared_server() {
    static postgres_server server;
    return server;
}

} // namespace db::testing
