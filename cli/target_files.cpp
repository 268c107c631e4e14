#include "target_files.h"

#include "console_text.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

namespace fs = std::filesystem;

namespace {

bool isHidden(const fs::path& relative) {
    for (const fs::path& part : relative)
        if (part.u8string().rfind('.', 0) == 0) return true;
    return false;
}

bool matchesAny(const std::string& name, const std::vector<std::string>& patterns) {
    std::string comparedName = foldedFileName(name);
    return std::any_of(patterns.begin(), patterns.end(), [&](const std::string& pattern) {
        return matchesPattern(comparedName, foldedFileName(pattern));
    });
}

std::string joined(const std::vector<std::string>& patterns) {
    std::string text;
    for (const std::string& pattern : patterns) text += (text.empty() ? "" : ", ") + pattern;
    return text;
}

// Names of files below a folder are the same on every platform: the folder as it was given, then
// their path below it with / between the parts.
std::string folderPrefix(const std::string& folder) {
    bool endsInSeparator = !folder.empty() && (folder.back() == '/' || folder.back() == '\\');
    return endsInSeparator ? folder : folder + '/';
}

// A folder's files, named as the folder was given followed by their path below it.
void findFilesBelow(Target& target, const std::vector<std::string>& includes) {
    const fs::path root = fs::u8path(target.argument);
    std::vector<std::pair<std::string, TargetFile>> found; // by the relative path's bytes
    std::error_code error;
    std::error_code entryError; // an entry that vanished meanwhile is passed over
    for (fs::recursive_directory_iterator
             entry(root, fs::directory_options::skip_permission_denied, error),
         end;
         !error && entry != end; entry.increment(error)) {
        const fs::path relative = entry->path().lexically_relative(root);
        if (isHidden(relative)) {
            if (entry->is_directory(entryError)) entry.disable_recursion_pending();
            continue;
        }
        if (!entry->is_regular_file(entryError) ||
            !matchesAny(relative.filename().u8string(), includes))
            continue;
        std::string below = relative.generic_u8string();
        std::string name = folderPrefix(target.argument) + below;
        found.push_back({below, {name, name}});
    }
    if (error) {
        target.problem = error.message();
        return;
    }
    std::sort(found.begin(), found.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& [relative, file] : found) target.files.push_back(std::move(file));
    if (target.files.empty()) target.problem = "no file matches " + joined(includes);
}

} // namespace

std::vector<Target> findTargetFiles(const std::vector<std::string>& arguments,
                                    const std::vector<std::string>& includes) {
    std::vector<Target> targets;
    for (const std::string& argument : arguments) {
        Target target;
        target.argument = argument;
        std::error_code error;
        target.isFolder = fs::is_directory(fs::u8path(argument), error);
        if (target.isFolder)
            findFilesBelow(target, includes);
        else
            target.files.push_back({argument, argument});
        targets.push_back(std::move(target));
    }
    return targets;
}

bool matchesPattern(const std::string& name, const std::string& pattern) {
    size_t n = 0;
    size_t p = 0;
    size_t starAt = std::string::npos; // where the last * stood, to retry it one byte further
    size_t starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starAt = p++;
            starName = n;
            continue;
        }
        if (p < pattern.size() && pattern[p] == '[') {
            size_t close = pattern.find(']', p + 2);
            if (close != std::string::npos) {
                bool negated = pattern[p + 1] == '!';
                bool inSet = false;
                for (size_t i = p + 1 + negated; i < close; ++i) {
                    if (i + 2 < close && pattern[i + 1] == '-') {
                        inSet |= static_cast<unsigned char>(name[n]) >=
                                     static_cast<unsigned char>(pattern[i]) &&
                                 static_cast<unsigned char>(name[n]) <=
                                     static_cast<unsigned char>(pattern[i + 2]);
                        i += 2;
                    } else {
                        inSet |= name[n] == pattern[i];
                    }
                }
                if (inSet != negated) {
                    p = close + 1;
                    ++n;
                    continue;
                }
            } else if (name[n] == '[') {
                ++p;
                ++n;
                continue;
            }
        } else if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
            continue;
        }
        if (starAt == std::string::npos) return false;
        p = starAt + 1;
        n = ++starName;
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}
