// `cronovolta-cli serve`: the results page's JSON over a data folder after the race, from the
// same heats that the classify command lists.
#include "counter/counter_simulator.h"
#include "support/cli_run.h"
#include "support/simulated_capture.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>

using namespace cronovolta;

namespace {

// The server as a child process; stopped when this goes.
class ServeProcess {
public:
    ServeProcess(const fs::path& data, const std::vector<std::string>& words) {
        int out[2];
        int err[2];
        if (pipe(out) != 0 || pipe(err) != 0) {
            return;
        }
        m_pid = fork();
        if (m_pid == 0) {
            dup2(out[1], STDOUT_FILENO);
            dup2(err[1], STDERR_FILENO);
            close(out[0]);
            close(out[1]);
            close(err[0]);
            close(err[1]);
            std::vector<std::string> all{CRONOVOLTA_CLI, "--data", data.string(), "serve"};
            all.insert(all.end(), words.begin(), words.end());
            std::vector<char*> argv;
            for (auto& w : all) {
                argv.push_back(w.data());
            }
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(out[1]);
        close(err[1]);
        m_out = out[0];
        m_err = err[0];
    }
    ~ServeProcess() {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
        for (int fd : {m_out, m_err}) {
            if (fd >= 0) {
                close(fd);
            }
        }
    }
    // The first line the server prints, its address; empty when nothing comes in time or the
    // server ended.
    std::string firstLine() { return lineOf(m_out); }
    // The next line of its messages.
    std::string messageLine() { return lineOf(m_err); }

private:
    static std::string lineOf(int fd) {
        std::string line;
        char c = 0;
        pollfd p{fd, POLLIN, 0};
        while (poll(&p, 1, 20000) > 0 && read(fd, &c, 1) == 1 && c != '\n') {
            line += c;
        }
        return line;
    }

    pid_t m_pid = -1;
    int m_out = -1;
    int m_err = -1;
};

// One GET on the loopback address; the body of the answer ("" on any failure).
std::string httpGet(int port, const std::string& path, const std::string& host = "127.0.0.1") {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string data;
    if (connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
        const std::string request = "GET " + path + " HTTP/1.1\r\nHost: " + host + "\r\n\r\n";
        (void)!write(s, request.data(), request.size());
        char buffer[4096];
        pollfd p{s, POLLIN, 0};
        while (poll(&p, 1, 10000) > 0) {
            const auto n = read(s, buffer, sizeof buffer);
            if (n <= 0) {
                break;
            }
            data.append(buffer, static_cast<std::size_t>(n));
            const auto end = data.find("\r\n\r\n");
            const auto length = data.find("Content-Length: ");
            if (end != std::string::npos && length != std::string::npos &&
                data.size() >= end + 4 + std::stoul(data.substr(length + 16))) {
                break;
            }
        }
    }
    close(s);
    const auto end = data.find("\r\n\r\n");
    return data.compare(0, 12, "HTTP/1.1 200") == 0 && end != std::string::npos
               ? data.substr(end + 4)
               : std::string();
}

} // namespace

TEST(ServeCli, ClassificationJsonHoldsWhatClassifyPrints) {
    if (!fs::exists(fs::path(CRONOVOLTA_CLI).parent_path() / "cronovolta-serve")) {
        GTEST_SKIP() << "built without the live-results server";
    }
    test::TempDir data;
    test::TempDir scratch;
    auto cli = [&](const std::vector<std::string>& args) {
        auto run = test::runCli(data.path(), args, scratch.path());
        EXPECT_EQ(run.status, 0) << run.err;
        return run.out;
    };
    cli({"track", "set", "lanes=4", "circuits=1"});
    cli({"settings", "set", "model=1"});
    cli({"event", "create", "Resultats <b>"});
    cli({"participants", "set", "1", "CRS", "1", "Anna", "Bernat", "Clara", "Dídac"});
    SimulatorOptions options;
    options.model = CounterModel::DS030;
    options.lanes = 4;
    options.cars = 4;
    options.heats = 2;
    options.heatLength = 40.0;
    options.lapTime = 8.0;
    options.seed = 3;
    test::writeBytes(scratch.path() / "race.cap", test::simulatedCapture(options));
    cli({"replay", "1", "CRS", "1", (scratch.path() / "race.cap").string()});
    const std::string printed = cli({"classify", "1", "CRS", "1"});

    ServeProcess server(data.path(), {"--port", "0", "--address", "127.0.0.1"});
    const std::string url = server.firstLine();
    ASSERT_EQ(url.rfind("http://127.0.0.1:", 0), 0u) << url;
    const int port = std::stoi(url.substr(17));
    const std::string json = httpGet(port, "/api/classification?type=CRS&series=1");
    ASSERT_FALSE(json.empty());
    EXPECT_NE(json.find(R"("eventName":"Resultats \u003cb\u003e")"), std::string::npos) << json;
    // Row by row, in order, the name and the total of the listing.
    std::istringstream lines(printed);
    std::string line;
    std::getline(lines, line); // the headings
    std::size_t at = 0;
    int rows = 0;
    while (std::getline(lines, line)) {
        std::vector<std::string> cells;
        std::istringstream fields(line);
        for (std::string cell; std::getline(fields, cell, '\t');) {
            cells.push_back(cell);
        }
        ASSERT_GT(cells.size(), 7u);
        at = json.find("\"name\":\"" + cells[3] + "\"", at);
        ASSERT_NE(at, std::string::npos) << cells[3] << " in " << json;
        EXPECT_EQ(json.find("\"total\":\"" + cells[7] + "\"", at), json.find("\"total\":", at));
        ++rows;
    }
    EXPECT_EQ(rows, 4);
    EXPECT_NE(httpGet(port, "/api/live").find("\"Resultats \\u003cb\\u003e\""), std::string::npos);
    EXPECT_EQ(httpGet(port, "/api/classification?type=CRS&series=9"), "");
}

TEST(ServeCli, SaysWhenThePageIsOpenToTheWholeNetwork) {
    if (!fs::exists(fs::path(CRONOVOLTA_CLI).parent_path() / "cronovolta-serve")) {
        GTEST_SKIP() << "built without the live-results server";
    }
    test::TempDir data;
    test::TempDir scratch;
    ASSERT_EQ(test::runCli(data.path(), {"settings", "set", "language=1"}, scratch.path()).status,
              0);
    {
        ServeProcess everywhere(data.path(), {"--port", "0"});
        ASSERT_EQ(everywhere.firstLine().rfind("http://", 0), 0u);
        const std::string said = everywhere.messageLine();
        EXPECT_NE(said.find("abierta a toda la red"), std::string::npos) << said;
        EXPECT_NE(said.find("--address 127.0.0.1"), std::string::npos) << said;
    }
    // Only this computer: nothing to warn about, and the names LIVE.INI lists are answered.
    test::writeBytes(data.path() / "LIVE.INI", "[live]\nhosts=pista.club, no valid\n");
    ServeProcess here(data.path(), {"--port", "0", "--address", "127.0.0.1"});
    const std::string url = here.firstLine();
    ASSERT_EQ(url.rfind("http://127.0.0.1:", 0), 0u) << url;
    EXPECT_EQ(here.messageLine(), "cronovolta-serve: Valor no válido en LIVE.INI, línea 2");
    const int port = std::stoi(url.substr(17));
    EXPECT_NE(httpGet(port, "/api/live", "pista.club"), "");
    EXPECT_EQ(httpGet(port, "/api/live", "attacker.example"), "");
}
