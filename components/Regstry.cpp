#include "Regstry.h"

#include "rtl/DateUtils.h"

#include <array>
#include <span>
#include <string_view>

namespace {

// The texts handed to the registry pass through buffers of 256 characters and a NUL; a
// longer text is refused with the operation's message rather than cut or overrun.
constexpr std::size_t BufferLength = 256;
// QueryValue offers the registry 255 bytes: longer data cannot be read back.
constexpr std::size_t QueryDataLength = 255;

bool FitsBuffer(const std::string& Text) {
    return Text.size() <= BufferLength;
}

// What a NUL-terminated buffer holds of Text: its characters before the first NUL.
std::string_view Terminated(const std::string& Text) {
    return std::string_view(Text.c_str());
}

bool Succeeded(registry::Status Result) {
    return Result == registry::Status::Success;
}

} // namespace

TRegstry::TRegstry(TComponent* AOwner) : TComponent(AOwner), FAction(paReadCurrentUser) {
    FIniFileName = "Software\\Tiv\\MyTask";
    FCategory = "Main";
    FKeyName = "LastUsed";
    FDefaultValue = rtl::DateToStr(rtl::Now());
    if (!Succeeded(registry::OpenRoot(registry::Root::CurrentUser, registry::Access::All,
                                      FCurrentUserKey)) ||
        !Succeeded(registry::OpenRoot(registry::Root::LocalMachine, registry::Access::All,
                                      FLocalMachineKey))) {
        // The destructor does not run for a constructor that raises: close what was opened.
        CloseKeys();
        throw ERegistryException("RegOpenKey failed!");
    }
}

TRegstry::~TRegstry() {
    CloseKeys();
}

void TRegstry::CloseKeys() {
    for (registry::Key* Held : {&FCurrentUserKey, &FLocalMachineKey}) {
        if (*Held != registry::Key{})
            registry::CloseKey(*Held);
        *Held = registry::Key{};
    }
}

void TRegstry::OpenKey(const std::string& KeyPath) {
    if (FCurrentUserKey != registry::Key{})
        registry::CloseKey(FCurrentUserKey);
    FCurrentUserKey = registry::Key{};
    registry::Key Opened{};
    if (!FitsBuffer(KeyPath) ||
        !Succeeded(registry::CreateKey(registry::Root::CurrentUser, Terminated(KeyPath),
                                       registry::Access::All, Opened)))
        throw ERegistryException("RegOpenKey failed!");
    FCurrentUserKey = Opened;
}

void TRegstry::SetValue(registry::Key Key, const std::string& ValueName, const std::string& KeyPath,
                        const std::string& Value) {
    const std::string_view Data = Terminated(Value);
    if (!FitsBuffer(Value) || !FitsBuffer(ValueName) ||
        !Succeeded(registry::SetValue(Key, Terminated(ValueName), registry::ValueType::String,
                                      std::as_bytes(std::span(Data.data(), Data.size())))))
        throw ERegistryException("RegSetValue failed: " + KeyPath + ValueName + " set to " + Value);
}

std::string TRegstry::QueryValue(registry::Key Key, const std::string& ValueName,
                                 const std::string& KeyPath) {
    std::array<char, QueryDataLength> Data{};
    // The type reported is not examined: a value of another type is read as its raw bytes.
    registry::ValueType Type = registry::ValueType::String;
    std::size_t Length = 0;
    if (!FitsBuffer(ValueName) ||
        !Succeeded(registry::QueryValue(Key, Terminated(ValueName), Type,
                                        std::as_writable_bytes(std::span(Data)), Length)))
        throw ERegistryException("RegQueryValue failed: " + KeyPath + ValueName);
    const std::string_view Text(Data.data(), Length);
    return std::string(Text.substr(0, Text.find('\0')));
}

void TRegstry::WriteValue(const std::string& KeyPath, const std::string& ValueName,
                          const std::string& Value) {
    OpenKey(KeyPath);
    SetValue(FCurrentUserKey, ValueName, KeyPath, Value);
}

std::string TRegstry::ReadValue(const std::string& KeyPath, const std::string& ValueName) {
    OpenKey(KeyPath);
    return QueryValue(FCurrentUserKey, ValueName, KeyPath);
}

std::string TRegstry::ReadValueDef(const std::string& KeyPath, const std::string& ValueName,
                                   const std::string& Default) {
    try {
        return ReadValue(KeyPath, ValueName);
    } catch (const Exception&) {
        return Default;
    }
}
