// Scratch directories and real files made by Debian's tools, for tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// A fresh directory under $TARVO_TEST_TMP (or /tmp), removed at the end of the test.
class scratch_dir {
public:
    scratch_dir()
    {
        const char* root = std::getenv("TARVO_TEST_TMP");
        std::string base = root ? root : "/tmp";
        std::system(("mkdir -p '" + base + "'").c_str());
        std::string pattern = base + "/tarvo-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (!mkdtemp(buffer.data()))
            throw std::runtime_error("scratch_dir - mkdtemp failed under " + base);
        path_ = buffer.data();
    }
    ~scratch_dir() { std::system(("rm -rf '" + path_ + "'").c_str()); }
    scratch_dir(const scratch_dir&) = delete;
    scratch_dir& operator=(const scratch_dir&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Runs a shell command; a failing command fails the test (the tools are part of the set-up).
inline void runTool(const std::string& command)
{
    const int status = std::system((command + " 2>/dev/null").c_str());
    ASSERT_EQ(status, 0) << "command failed: " << command;
}

inline void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    ASSERT_TRUE(out.good()) << path;
}

inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The pixels of a binary PGM/PPM with maxval 255, as written by the tools (top row first).
inline std::string pnmPixels(const std::string& pnm, int width, int height, int samples)
{
    const std::size_t n = static_cast<std::size_t>(width) * height * samples;
    return pnm.size() >= n ? pnm.substr(pnm.size() - n) : std::string();
}

// Rows reversed: top-row-first file order to the library's bottom-row-first order.
inline std::string bottomUp(const std::string& pixels, std::size_t rowBytes)
{
    std::string out;
    for (std::size_t r = pixels.size() / rowBytes; r-- > 0;)
        out += pixels.substr(r * rowBytes, rowBytes);
    return out;
}
