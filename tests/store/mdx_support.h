// Helpers for the index tests: a scratch folder, tables made by the independent dBASE engine
// (tools/dbfcheck), and its answers about the tags of a table.
#pragma once

#include "store/store_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace mdxtest {

namespace fs = std::filesystem;

struct Scratch {
    fs::path dir;
    explicit Scratch(const std::string& name)
    {
        static int counter = 0;
        dir = fs::temp_directory_path() /
              ("mdx_test." + std::to_string(prueba::IdProceso()) + "." + std::to_string(++counter) + "." + name);
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    ~Scratch() { fs::remove_all(dir); }
    std::string operator/(const std::string& file) const { return (dir / file).string(); }
};

using Run = storetest::CommandResult;
using storetest::lines;
using storetest::quote;

// Runs dbfcheck with the arguments (each quoted for the shell), `input` on its standard input.
inline Run dbfcheck(const std::vector<std::string>& args, const std::string& input = "")
{
    // A checker that loops on a bad index fails the test instead of holding it up.
    std::string command = "timeout 120 " + quote(DBFCHECK_PATH);
    for (const auto& a : args)
        command.append(" ").append(quote(a));
    return storetest::run(command, input);
}

// Makes a table with dbfcheck from rows of tab-separated values; answers its path.
inline std::string makeTable(const Scratch& scratch, const std::string& name, int level,
                             const std::string& fields, const std::vector<std::string>& rows)
{
    std::string input;
    for (const auto& row : rows)
        input += row + '\n';
    const std::string path = scratch / (name + ".dbf");
    const Run run = dbfcheck({"create", path, std::to_string(level), fields}, input);
    EXPECT_EQ(run.status, 0) << run.out;
    return path;
}

inline std::vector<std::uint8_t> readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::max<std::streamoff>(in.tellg(), 0)));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

inline void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Marks a table as having a production index (header byte 28), as our engine does.
inline void setIndexFlag(const std::string& dbfPath)
{
    auto bytes = readBytes(dbfPath);
    bytes.at(28) = 1;
    writeBytes(dbfPath, bytes);
}

// Overwrites the bytes of one field of one record (from 1) of a table.
inline void patchField(const std::string& dbfPath, std::uint32_t recNo, int fieldOffset, const std::string& bytes)
{
    auto data = readBytes(dbfPath);
    const std::size_t headerLength = data.at(8) | (data.at(9) << 8);
    const std::size_t recordLength = data.at(10) | (data.at(11) << 8);
    const std::size_t at = headerLength + (recNo - 1) * recordLength + 1 + static_cast<std::size_t>(fieldOffset);
    std::copy(bytes.begin(), bytes.end(), data.begin() + static_cast<std::ptrdiff_t>(at));
    writeBytes(dbfPath, data);
}

inline std::string mdxPathOf(const std::string& dbfPath)
{
    return dbfPath.substr(0, dbfPath.size() - 4) + ".mdx";
}

inline std::vector<std::uint32_t> checkerOrder(const std::string& dbfPath, const std::string& tag)
{
    const Run run = dbfcheck({"order", dbfPath, tag});
    EXPECT_EQ(run.status, 0) << run.out;
    std::vector<std::uint32_t> records;
    for (const auto& line : lines(run.out))
        records.push_back(static_cast<std::uint32_t>(std::stoul(line)));
    return records;
}

// The record dbfcheck finds for a key: 0 when not found.
inline std::uint32_t checkerFind(const std::string& dbfPath, const std::string& tag, const std::string& key)
{
    const Run run = dbfcheck({"find", dbfPath, tag, key});
    EXPECT_EQ(run.status, 0) << run.out;
    if (run.out.rfind("found\t", 0) == 0)
        return static_cast<std::uint32_t>(std::stoul(run.out.substr(6)));
    EXPECT_EQ(run.out, "not found\n");
    return 0;
}

}  // namespace mdxtest
