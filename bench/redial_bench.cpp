// How fast the dial controller redials after a drop, in lab mode with Alwaysconnect on.
// lab-ac runs in this process on a loopback port; the controller dials it through the
// real lab backend. Each round drops the session from lab-ac's administrator side and
// times, from lab-ac's own log, the drop ("down ... (admin)") to the next dial that
// reaches it ("up ..."), then waits until the controller follows the new link before the
// next drop, so each sample is one drop and one redial. Prints min, median, p90 and max.
//
//   redial_bench [ROUNDS [FOLDER]]
// ROUNDS defaults to 100. The controller's config.xml and session records go to a new
// folder inside FOLDER (default: the system's temporary folder); the record written at
// each drop is synced to disk before the redial, so the disk under FOLDER shows in the
// numbers. Exits 1 when a redial does not come.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "Accounts.h"
#include "AddressPool.h"
#include "Concentrator.h"
#include "LabServer.h"
#include "dial/ConnectManage.h"
#include "dial/DialBackend.h"
#include "dial/DialController.h"
#include "dial/lab/LabProtocol.h"
#include "store/ConfigStore.h"

namespace {

using namespace tarnix;
using SteadyClock = std::chrono::steady_clock;
// Bounds against a redial that never comes; far above anything measured.
constexpr auto kPatience = std::chrono::seconds(10);

class QuietView : public DialView {
  public:
    void linkUp() override {}
    void linkDown() override {}
    void showCommandState(bool) override {}
    void showStatus(std::string_view) override {}
    void dialFailed(std::string_view) override {}
};

// lab-ac's log lines, each stamped when lab-ac wrote it. The "down" line follows the
// DOWN event to the watchers by microseconds; the "up" line follows the dial request's
// arrival by the concentrator's check of the account, also microseconds.
class StampedLog {
  public:
    void add(const std::string& line) {
        auto now = SteadyClock::now();
        {
            std::lock_guard<std::mutex> lock(mutex_);
            lines_.push_back({now, line});
        }
        changed_.notify_all();
    }
    std::size_t size() {
        std::lock_guard<std::mutex> lock(mutex_);
        return lines_.size();
    }
    // The first line at or after `from` that starts with `prefix`, waiting for it.
    bool find(std::size_t from, const std::string& prefix, SteadyClock::time_point& when,
              std::string* text = nullptr) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, kPatience, [&] {
            for (std::size_t i = from; i < lines_.size(); ++i) {
                if (lines_[i].second.rfind(prefix, 0) != 0) continue;
                when = lines_[i].first;
                if (text) *text = lines_[i].second;
                return true;
            }
            return false;
        });
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::pair<SteadyClock::time_point, std::string>> lines_;
};

template <class Done>
bool eventually(Done done) {
    auto until = SteadyClock::now() + kPatience;
    while (!done()) {
        if (SteadyClock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

double ms(SteadyClock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// The value below which `share` of the sorted samples lie (nearest rank).
double rank(const std::vector<double>& sorted, double share) {
    std::size_t index = static_cast<std::size_t>(share * sorted.size() + 0.999999);
    return sorted[std::clamp<std::size_t>(index, 1, sorted.size()) - 1];
}

void summary(const char* what, std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    std::printf("%-31s min %7.2f  median %7.2f  p90 %7.2f  max %7.2f ms\n", what, samples.front(),
                rank(samples, 0.5), rank(samples, 0.9), samples.back());
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 100;
    const std::filesystem::path base =
        argc > 2 ? std::filesystem::path(argv[2]) : std::filesystem::temp_directory_path();
    if (rounds <= 0 || argc > 3) {
        std::fprintf(stderr, "usage: redial_bench [ROUNDS [FOLDER]]\n");
        return 2;
    }

    StampedLog log;
    labac::Accounts accounts;
    accounts.add("demo", "demo");
    labac::AddressPool pool;
    labac::AddressPool::parse("10.64.0.10-10.64.0.250", pool);
    labac::LabServer server(
        labac::Concentrator(accounts, pool, labac::Rates{}, labac::handleBaseFromClock()),
        [&log](const std::string& line) { log.add(line); });
    if (!server.start("127.0.0.1", 0)) {
        std::fprintf(stderr, "lab-ac did not start\n");
        return 1;
    }
    const std::uint16_t port = server.port();
    auto admin = [port](const std::string& line) {
        lab::Reply reply = lab::request("127.0.0.1", port, line + "\n", 5000);
        return reply.ok() ? reply.lines : std::vector<std::vector<std::string>>{};
    };
    // True when lab-ac lists exactly the one session `handle`.
    auto labShows = [&admin](ConnHandle handle) {
        auto lines = admin("LIST");
        return lines.size() == 2 && lines[0].size() > 1 &&
               lines[0][1] == std::to_string(handle);
    };

    const std::filesystem::path folder =
        base / ("tarnix-redial-bench-" + std::to_string(std::random_device{}()));
    std::error_code made;
    if (!std::filesystem::create_directories(folder, made)) {
        std::fprintf(stderr, "cannot make %s\n", folder.string().c_str());
        return 1;
    }
    int status = 0;
    {
        CConnectManage connectManage(makeLabDialBackend("127.0.0.1:" + std::to_string(port)));
        ConfigStore config(folder);
        config.SetAlwaysConnect(true);
        QuietView view;
        DialController::Services services;
        services.connectManage = &connectManage;
        services.remoteAccess = &connectManage.remoteAccess();
        services.config = &config;
        services.view = &view;
        services.dataFolder = folder / "data";
        DialController controller(std::move(services));
        DialSession& session = controller.session();

        if (controller.startMonitors() != 0) {
            std::fprintf(stderr, "the monitors did not start\n");
            status = 1;
        } else {
            controller.connect(DialRequest{"demo", "demo"});
        }
        if (status == 0 && !eventually([&] {
                return session.currentConnection != 0 && labShows(session.currentConnection);
            })) {
            std::fprintf(stderr, "the first dial did not connect\n");
            status = 1;
        }

        std::vector<double> redial, follow;
        for (int i = 0; i < rounds && status == 0; ++i) {
            const ConnHandle old = session.currentConnection;
            const std::size_t mark = log.size();
            auto reply = admin("DROP " + std::to_string(old));
            SteadyClock::time_point down, up, followed;
            std::string upLine;
            if (reply.empty() || reply.back()[0] != "OK" ||
                !log.find(mark, "down " + std::to_string(old) + " ", down) ||
                !log.find(mark, "up ", up, &upLine)) {
                std::fprintf(stderr, "round %d: no redial reached lab-ac\n", i + 1);
                status = 1;
                break;
            }
            // The controller follows the new link, and lab-ac still shows it.
            if (!eventually([&] {
                    ConnHandle now = session.currentConnection;
                    return now != 0 && now != old;
                })) {
                std::fprintf(stderr, "round %d: the controller did not follow the new link\n",
                             i + 1);
                status = 1;
                break;
            }
            followed = SteadyClock::now();
            if (!labShows(session.currentConnection) ||
                upLine.rfind("up " + std::to_string(session.currentConnection) + " ", 0) != 0) {
                std::fprintf(stderr, "round %d: the controller follows %llu, lab-ac logged '%s'\n",
                             i + 1, static_cast<unsigned long long>(session.currentConnection),
                             upLine.c_str());
                status = 1;
                break;
            }
            redial.push_back(ms(up - down));
            follow.push_back(ms(followed - down));
        }
        controller.stopMonitors();

        if (status == 0) {
            std::printf("%d admin drops, Alwaysconnect, lab mode over loopback, data in %s\n",
                        rounds, base.string().c_str());
            summary("drop -> dial request at lab-ac", redial);
            summary("drop -> controller follows it", follow);  // polled every 0.2 ms
        }
    }
    server.stop();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return status;
}
