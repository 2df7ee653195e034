#include "platform/core/posix/mount_table.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace ferrowyn {
// The table writes space, tab, newline and backslash in names as a backslash and three octal digits.
std::string decodedField(const std::string& field) {
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        const auto isOctal = [&](std::size_t at) {
            return at < field.size() && field[at] >= '0' && field[at] <= '7';
        };
        if (field[i] == '\\' && isOctal(i + 1) && isOctal(i + 2) && isOctal(i + 3)) {
            text += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
            i += 3;
        } else {
            text += field[i];
        }
    }
    return text;
}

std::vector<Mount> parseMountTable(const std::string& table) {
    std::vector<Mount> mounts;
    std::istringstream lines(table);
    for (std::string line; std::getline(lines, line);) {
        // id parent major:minor root mount-point options [optional fields...] - type source super-options
        std::istringstream fields(line);
        const std::vector<std::string> words{std::istream_iterator<std::string>(fields),
                                             std::istream_iterator<std::string>()};
        std::size_t separator = 6;
        while (separator < words.size() && words[separator] != "-") {
            ++separator;
        }
        if (separator + 2 >= words.size()) {
            continue;
        }
        Mount mount;
        mount.id = std::strtoull(words[0].c_str(), nullptr, 10);
        mount.device = words[2];
        mount.mountPoint = decodedField(words[4]);
        mount.type = words[separator + 1];
        mount.source = decodedField(words[separator + 2]);
        mount.options = separator + 3 < words.size() ? words[separator + 3] : std::string();
        mounts.push_back(std::move(mount));
    }
    return mounts;
}

std::vector<Mount> readMountTable() {
    std::ifstream in("/proc/self/mountinfo");
    return parseMountTable({std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()});
}

Mount mountWithId(std::uint64_t id) {
    for (Mount& mount : readMountTable()) {
        if (mount.id == id) {
            return mount;
        }
    }
    return {};
}

} // namespace ferrowyn
