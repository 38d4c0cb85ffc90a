// Reading a compiled HTML help file (.chm) through chmlib: its pages and images, its title,
// its default topic and its context map (#IVB/#STRINGS). Showing them is HelpViewer's task.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct chmFile;

namespace htmlhelp {

class ChmFile {
public:
    // The help file at Path, or nullptr when it is missing or no readable .chm.
    static std::unique_ptr<ChmFile> Open(const std::string& Path);
    ~ChmFile();
    ChmFile(const ChmFile&) = delete;
    ChmFile& operator=(const ChmFile&) = delete;

    // The bytes of an object such as "/index.html"; nothing when the file has no such object.
    std::optional<std::string> Read(std::string_view ObjectPath) const;
    bool Contains(std::string_view ObjectPath) const;

    const std::string& Title() const { return FTitle; }
    // The page the file opens on, as an object path ("/index.html"); empty when it has none.
    const std::string& DefaultTopic() const { return FDefaultTopic; }
    // The page the context map assigns to a help context number; the default topic for a
    // number the file does not map.
    std::string TopicOfContext(std::uint32_t Context) const;

private:
    explicit ChmFile(chmFile* Handle);
    void ReadSystem();
    // An object path for a topic name as the map stores it. Compilers store it relative
    // ("index.html") or with the folder it was compiled in ("/home/x/help/index.html"):
    // the longest trailing part that names an object wins.
    std::string ResolveTopic(std::string_view Name) const;

    chmFile* FHandle;
    std::string FTitle;
    std::string FDefaultTopic;
};

} // namespace htmlhelp
