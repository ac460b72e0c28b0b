// Checking a long --ports-from list: reading it and finding two texts that name one port.
// Usage: oryx_port_list_check_bench [LINES] (default 50 000). Prints the time of one check.
#include "cli/PortListC.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

int main(int argc, char** argv) {
    const long lines = argc > 1 ? std::atol(argv[1]) : 50000;
    const std::string list = "/tmp/oryx-port-list-bench-" + std::to_string(::getpid()) + ".txt";
    {
        std::ofstream out(list);
        for (long i = 0; i < lines; ++i) {
            out << "/tmp/oryx-sim-0/bay-" << i << "\n";
        }
    }
    PortChoiceS choice;
    choice.portsFrom = list;
    std::vector<std::string> ports;
    const auto start = std::chrono::steady_clock::now();
    const std::string problem = PortListC::Collect(choice, ports);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::remove(list.c_str());
    std::printf("%ld lines: %zu ports checked in %.3f s%s%s\n", lines, ports.size(), took.count(),
                problem.empty() ? "" : ", ", problem.c_str());
    return problem.empty() ? 0 : 1;
}
