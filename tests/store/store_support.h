// Helpers for the engine's tests: a scratch drive C: with a ZTEMP folder, file bytes, and the
// independent checker dbfcheck.
#pragma once

#include "store/errors.h"
#include "store/paths.h"
#include "store/table.h"
#include "support/sistema.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace storetest {

namespace fs = std::filesystem;

inline std::string readBytes(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void writeBytes(const fs::path& p, const std::string& bytes)
{
    std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes;
}

inline std::uint32_t le32(const std::string& b, std::size_t at)
{
    return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8 |
           static_cast<unsigned char>(b[at + 2]) << 16 | std::uint32_t(static_cast<unsigned char>(b[at + 3])) << 24;
}

inline std::uint32_t le16(const std::string& b, std::size_t at)
{
    return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
}

struct CommandResult {
    int status = -1;
    std::string out;
};

// Runs a shell command with `input` on its standard input; gives its exit status and output.
// Only dbfcheck is run so, and the Windows build skips the tests that need it.
inline CommandResult run(const std::string& command, const std::string& input = {})
{
#ifdef _WIN32
    return {-1, "no shell to run " + command + " with input of " + std::to_string(input.size()) + " bytes"};
#else
    char inName[] = "/tmp/storetest.in.XXXXXX";
    const int fd = ::mkstemp(inName);
    if (fd < 0)
        return {};
    ::close(fd);
    writeBytes(inName, input);
    CommandResult result;
    FILE* p = ::popen((command + " < " + inName + " 2>&1").c_str(), "r");
    if (p) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0)
            result.out.append(buffer, n);
        const int st = ::pclose(p);
        result.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    }
    ::unlink(inName);
    return result;
#endif
}

// `text` quoted for the shell.
inline std::string quote(const std::string& text)
{
    std::string out = "'";
    for (char ch : text) {
        if (ch == '\'')
            out.append("'\\''");
        else
            out.push_back(ch);
    }
    out.push_back('\'');
    return out;
}

inline std::string dbfcheck(const std::string& args, const std::string& input = {})
{
    const CommandResult r = run(std::string(DBFCHECK_PATH) + " " + args, input);
    EXPECT_EQ(r.status, 0) << "dbfcheck " << args << "\n" << r.out;
    return r.out;
}

inline std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

// The lines of a dbfcheck dump that start with `kind` ("field", "record", "deleted"...).
inline std::vector<std::string> dumpLines(const std::string& dump, const std::string& kind)
{
    std::vector<std::string> out;
    for (const std::string& l : lines(dump))
        if (l.rfind(kind + "\t", 0) == 0)
            out.push_back(l.substr(kind.size() + 1));
    return out;
}

// A scratch drive C: holding an empty ZTEMP folder, removed afterwards.
class WorkFolder : public ::testing::Test {
protected:
    fs::path root;
    fs::path ztemp;

    void SetUp() override
    {
        root = fs::temp_directory_path() /
               ("storetest." + std::to_string(prueba::IdProceso()) + "." +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        ztemp = root / "ZTEMP";
        fs::create_directories(ztemp);
        store::setDriveC(root.string());
    }

    void TearDown() override
    {
        store::setDriveC("");
        fs::remove_all(root);
    }

    std::string file(const std::string& name) const { return (ztemp / name).string(); }
};

// Expects `action` to throw store::EngineError whose text contains every one of `parts`.
template <typename F>
void expectEngineError(F&& action, const std::vector<std::string>& parts)
{
    try {
        action();
        ADD_FAILURE() << "no engine error";
    } catch (const store::EngineError& e) {
        for (const std::string& part : parts)
            EXPECT_NE(std::string(e.what()).find(part), std::string::npos) << e.what() << "\nlacks: " << part;
    } catch (const std::exception& e) {
        ADD_FAILURE() << "another error: " << e.what();
    }
}

}  // namespace storetest
