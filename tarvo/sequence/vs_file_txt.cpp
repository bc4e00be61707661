#include "tarvo/sequence/vs_file_txt.h"

#include "platform/share.h"
#include "tarvo/source/util_fs.h"
#include "tarvo/source/util_string.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace {

bool isSeparator(char c) { return c == '/' || c == '\\'; }

// Counts the lists being constructed inside one another. Lists open their
// first member while constructing, so a cycle through first members shows as
// unbounded nesting.
int nesting = 0;

struct nestingGuard {
    explicit nestingGuard(const std::string& prefix)
    {
        if (nesting >= vs_file_txt::maxNesting)
            throw std::runtime_error(prefix + "lists nested more than " + std::to_string(vs_file_txt::maxNesting) +
                                     " deep: a list names itself, directly or through other lists");
        ++nesting;
    }
    ~nestingGuard() { --nesting; }
};

struct fileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// One line without its line feed; false at end of file with nothing read.
bool readLine(std::FILE* file, std::string& line)
{
    line.clear();
    int c;
    while ((c = std::fgetc(file)) != EOF && c != '\n')
        line.push_back(static_cast<char>(c));
    return c != EOF || !line.empty();
}

// A '@' line: a rest starting with a separator replaces the base directory,
// any other rest is appended; a separator is added unless the rest ends in one.
// A bare '@' leaves the base directory as it is.
void setBase(std::string& base, const std::string& rest)
{
    if (rest.empty())
        return;
    if (isSeparator(rest.front()))
        base = rest;
    else
        base += rest;
    if (!isSeparator(rest.back()))
        base += '/';
}

} // namespace

std::vector<std::string> vs_file_txt::readList(const std::string& name)
{
    const std::string prefix = "vs_file_txt (" + name + ") - ";
    std::unique_ptr<std::FILE, fileCloser> file(_fsopen(name.c_str(), "r", _SH_DENYNO));
    if (!file)
        throw std::runtime_error(prefix + "access error");

    std::string base, ignored;
    util_fs::splitPath(name, base, ignored);

    std::vector<std::string> members;
    std::string line;
    while (readLine(file.get(), line)) {
        const std::string::size_type comment = line.find('#');
        if (comment != std::string::npos)
            line.erase(comment);
        util_string::trim(line);
        if (line.empty())
            continue;
        if (line[0] == '@')
            setBase(base, line.substr(1));
        else
            members.push_back(base + line);
    }
    if (std::ferror(file.get()))
        throw std::runtime_error(prefix + "read error: " + std::strerror(errno));
    return members;
}

vs_file_txt::vs_file_txt(const vs_file_args& args)
    : vs_file_many((nestingGuard("vs_file_txt (" + std::string(args.name) + ") - "), readList(args.name))),
      name(args.name)
{
}
