// Shared helpers of the registry tests: a private temporary configuration for every test
// (never the developer's own ~/.config), a look into a hive file through SQLite itself, and
// the start of helper processes.
#pragma once

#include <gtest/gtest.h>
#include <string>
#include <sys/types.h>
#include <vector>

namespace regtest {

// Points $XDG_CONFIG_HOME and $XDG_CONFIG_DIRS into a fresh temporary directory for the
// life of the test, and removes it afterwards.
class TempConfig : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string Temp;       // the temporary directory
    std::string ConfigHome; // $XDG_CONFIG_HOME
    std::string UserHive() const { return ConfigHome + "/tiv-registry/HKEY_CURRENT_USER.sqlite"; }
    std::string HiveDirectory() const { return ConfigHome + "/tiv-registry"; }
    // Files in the hive directory, by name.
    std::vector<std::string> HiveDirectoryEntries() const;
    // The hive files moved aside (not their logs), by name.
    std::vector<std::string> MovedAside() const;
};

// The first column of every row Sql gives on the hive file, as raw bytes.
std::vector<std::string> Column(const std::string& File, const std::string& Sql);

std::string ReadFile(const std::string& Path);
void WriteFile(const std::string& Path, const std::string& Content);
mode_t ModeOf(const std::string& Path);

// A helper process with pipes on its standard input, output and error.
struct Child {
    pid_t Pid = -1;
    int In = -1;
    int Out = -1;
    int Err = -1;
};

Child Start(const std::vector<std::string>& Arguments);
// Reads one line from the child's output, without its newline; empty at the end.
std::string ReadLine(const Child& Process);
struct Outcome {
    int ExitCode = -1; // -1 when killed by a signal
    std::string Out;
    std::string Err;
};
// Closes the child's input, reads what is left of its output and waits for it.
Outcome Finish(Child& Process);

} // namespace regtest
