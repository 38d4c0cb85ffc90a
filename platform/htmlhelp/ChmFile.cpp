#include "ChmFile.h"

#include <chm_lib.h>

namespace htmlhelp {
namespace {

std::uint32_t ReadLittleEndian(const std::string& Bytes, std::size_t At, std::size_t Width) {
    std::uint32_t Value = 0;
    for (std::size_t I = 0; I < Width; ++I)
        Value |= static_cast<std::uint32_t>(static_cast<unsigned char>(Bytes[At + I])) << (8 * I);
    return Value;
}

// The text up to the first NUL.
std::string CString(std::string_view Bytes) {
    return std::string(Bytes.substr(0, Bytes.find('\0')));
}

} // namespace

std::unique_ptr<ChmFile> ChmFile::Open(const std::string& Path) {
    chmFile* Handle = chm_open(Path.c_str());
    if (Handle == nullptr)
        return nullptr;
    std::unique_ptr<ChmFile> File(new ChmFile(Handle));
    File->ReadSystem();
    return File;
}

ChmFile::ChmFile(chmFile* Handle) : FHandle(Handle) {}

ChmFile::~ChmFile() {
    chm_close(FHandle);
}

bool ChmFile::Contains(std::string_view ObjectPath) const {
    chmUnitInfo Info{};
    return chm_resolve_object(FHandle, std::string(ObjectPath).c_str(), &Info) ==
           CHM_RESOLVE_SUCCESS;
}

std::optional<std::string> ChmFile::Read(std::string_view ObjectPath) const {
    chmUnitInfo Info{};
    if (chm_resolve_object(FHandle, std::string(ObjectPath).c_str(), &Info) != CHM_RESOLVE_SUCCESS)
        return std::nullopt;
    std::string Bytes(static_cast<std::size_t>(Info.length), '\0');
    if (Info.length == 0)
        return Bytes;
    const LONGINT64 Got =
        chm_retrieve_object(FHandle, &Info, reinterpret_cast<unsigned char*>(Bytes.data()), 0,
                            static_cast<LONGINT64>(Info.length));
    if (Got <= 0)
        return std::nullopt;
    Bytes.resize(static_cast<std::size_t>(Got));
    return Bytes;
}

// #SYSTEM: a version word, then records of a 16-bit code, a 16-bit length and the data.
// Code 2 holds the default topic, code 3 the title.
void ChmFile::ReadSystem() {
    const std::optional<std::string> System = Read("/#SYSTEM");
    if (!System)
        return;
    std::size_t At = 4;
    while (At + 4 <= System->size()) {
        const std::uint32_t Code = ReadLittleEndian(*System, At, 2);
        const std::size_t Length = ReadLittleEndian(*System, At + 2, 2);
        if (At + 4 + Length > System->size())
            break;
        const std::string_view Data = std::string_view(*System).substr(At + 4, Length);
        if (Code == 2)
            FDefaultTopic = ResolveTopic(CString(Data));
        else if (Code == 3)
            FTitle = CString(Data);
        At += 4 + Length;
    }
}

std::string ChmFile::ResolveTopic(std::string_view Name) const {
    std::string Path(Name);
    if (Path.empty())
        return {};
    if (Path.front() != '/')
        Path.insert(0, 1, '/');
    for (std::size_t Slash = 0; Slash != std::string::npos; Slash = Path.find('/', Slash + 1)) {
        const std::string Candidate = Path.substr(Slash);
        if (Candidate.size() > 1 && Contains(Candidate))
            return Candidate;
    }
    return {};
}

// #IVB: a 32-bit byte count, then pairs of a context number and an offset into #STRINGS,
// where the topic's name stands as a NUL-terminated text.
std::string ChmFile::TopicOfContext(std::uint32_t Context) const {
    const std::optional<std::string> Map = Read("/#IVB");
    const std::optional<std::string> Strings = Read("/#STRINGS");
    if (!Map || !Strings || Map->size() < 4)
        return FDefaultTopic;
    const std::size_t End = std::min<std::size_t>(Map->size(), 4 + ReadLittleEndian(*Map, 0, 4));
    for (std::size_t At = 4; At + 8 <= End; At += 8) {
        if (ReadLittleEndian(*Map, At, 4) != Context)
            continue;
        const std::size_t Offset = ReadLittleEndian(*Map, At + 4, 4);
        if (Offset >= Strings->size())
            break;
        const std::string Topic = ResolveTopic(CString(std::string_view(*Strings).substr(Offset)));
        return Topic.empty() ? FDefaultTopic : Topic;
    }
    return FDefaultTopic;
}

} // namespace htmlhelp
