// One run of the program that writes one product file, for the test that kills a writer half-way.
// Usage: tl_product_file_writer <machine prefix> <Windows path> <size> [stop]
// With "stop", the writer says "written" on its output once every byte is in the temporary file,
// before it is flushed and renamed, and then waits to be killed.
#include "platform/IoFaults.h"
#include "platform/Machine.h"
#include "platform/WinTypes.h"
#include "release/WriteProductFile.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 4)
        return 2;
    const tl::ScopedMachine machine(std::make_unique<tl::Machine>(argv[1]));
    std::optional<tl::ScopedWriteFault> stop;
    if (argc > 4 && std::string_view(argv[4]) == "stop") {
        stop.emplace([](const std::filesystem::path&, tl::IoStep step) {
            if (step == tl::IoStep::Sync) {
                (void)::write(STDOUT_FILENO, "written\n", 8);
                for (;;)
                    ::pause();
            }
            return 0;
        });
    }
    const std::vector<std::uint8_t> bytes(std::stoul(argv[3]), 'x');
    return WriteProductFile(argv[2], bytes.data(), bytes.size(), -1) == win::ERROR_SUCCESS ? 0 : 1;
}
