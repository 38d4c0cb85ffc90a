// A small program the fault tests start as a separate process: it writes and reads values
// through TRegstry as the calculator does, so that kills, races and read-only homes hit a
// real process. Its exit code is 0 on success and 2 on a registry exception.
//
//   registry_helper [--umask0] [--no-override] write KEY NAME VALUE
//   registry_helper [...] read-def KEY NAME DEFAULT        prints the value or the default
//   registry_helper [...] write-loop KEY NAME PREFIX       prints "ready", then PREFIX<n> as
//                                                          each value PREFIX<n> is written
//   registry_helper [...] write-many KEY COUNT PREFIX      waits for its input to close, then
//                                                          writes COUNT keys KEY<i>
#include "Regstry.h"

#include <cstdio>
#include <cstdlib>
#include <linux/capability.h>
#include <string>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

namespace {

// Root passes every permission check; without these capabilities a read-only directory is
// read-only for root too, as it is for everybody else.
void DropPermissionOverrides() {
    __user_cap_header_struct Header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct Data[2]{};
    if (syscall(SYS_capget, &Header, Data) != 0)
        return;
    for (const int Capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
        Data[Capability / 32].effective &= ~(1u << static_cast<unsigned>(Capability % 32));
    syscall(SYS_capset, &Header, Data);
}

void Say(const std::string& Line) {
    const std::string Text = Line + "\n";
    if (write(STDOUT_FILENO, Text.data(), Text.size()) < 0)
        std::exit(3);
}

void WaitForInputToClose() {
    char C = 0;
    while (read(STDIN_FILENO, &C, 1) > 0) {
    }
}

int Run(const std::vector<std::string>& A) {
    TRegstry Reg(nullptr);
    if (A.size() == 4 && A[0] == "write") {
        Reg.WriteValue(A[1], A[2], A[3]);
    } else if (A.size() == 4 && A[0] == "read-def") {
        Say(Reg.ReadValueDef(A[1], A[2], A[3]));
    } else if (A.size() == 4 && A[0] == "write-loop") {
        Say("ready");
        for (long N = 0;; ++N) {
            Reg.WriteValue(A[1], A[2], A[3] + std::to_string(N));
            Say(A[3] + std::to_string(N));
        }
    } else if (A.size() == 4 && A[0] == "write-many") {
        WaitForInputToClose();
        for (int I = 0; I < std::atoi(A[2].c_str()); ++I)
            Reg.WriteValue(A[1] + std::to_string(I), "Value", A[3] + std::to_string(I));
    } else {
        std::fprintf(stderr, "usage: see the head of RegistryHelper.cpp\n");
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> Arguments(argv + 1, argv + argc);
    while (!Arguments.empty() && Arguments[0].starts_with("--")) {
        if (Arguments[0] == "--umask0")
            umask(0);
        else if (Arguments[0] == "--no-override")
            DropPermissionOverrides();
        Arguments.erase(Arguments.begin());
    }
    try {
        return Run(Arguments);
    } catch (const ERegistryException& E) {
        std::fprintf(stderr, "%s\n", E.what());
        return 2;
    }
}
