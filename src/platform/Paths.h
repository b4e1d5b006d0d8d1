// Name handling on 8-bit path strings.
//
// Windows rules: backslash and colon delimit. POSIX rules: slash and backslash delimit (a
// directory typed or stored on Windows, such as "MNA_Laser\MNH", still works), the colon is
// an ordinary character. The Windows build compiles the Windows rules; tests can exercise
// either set through the explicit TPathRules argument.
#pragma once

#include <string>
#include <string_view>

namespace qv {

enum class TPathRules { Windows, Posix };

#ifdef _WIN32
inline constexpr TPathRules NativePathRules = TPathRules::Windows;
inline constexpr char PathSeparator = '\\';
#else
inline constexpr TPathRules NativePathRules = TPathRules::Posix;
inline constexpr char PathSeparator = '/';
#endif

bool IsPathDelimiter(char c, TPathRules rules = NativePathRules);

// The name with its extension replaced: the last of '.', the delimiters is found; when it is
// a '.', the name is cut before it. Ext brings its own dot or suffix (".shx", "_w1.shp").
std::string ReplaceExtension(std::string_view name, std::string_view ext,
                             TPathRules rules = NativePathRules);

// The directory part: up to and including the last delimiter, with that delimiter dropped
// when it is a separator that is neither the first character nor preceded by another
// delimiter. "D:\a\b\x.shp" gives "D:\a\b", "C:\x.shp" gives "C:\", "x.shp" gives "".
std::string DirectoryOf(std::string_view path, TPathRules rules = NativePathRules);

// The text after the last delimiter.
std::string FileNameOf(std::string_view path, TPathRules rules = NativePathRules);

// Appends the separator unless the text already ends in one (an empty text becomes a single
// separator).
std::string IncludeTrailingDelimiter(std::string_view path, TPathRules rules = NativePathRules);

// Removes one final separator if there is one.
std::string ExcludeTrailingDelimiter(std::string_view path, TPathRules rules = NativePathRules);

// The separator that composed paths use under the given rules.
char SeparatorOf(TPathRules rules);

// Turns a path with either separator into one the operating system opens (POSIX: every
// backslash becomes a slash; Windows: unchanged).
std::string NativePath(std::string_view path);

}  // namespace qv
