// The registry settings component: writes and reads text values under the current user's
// registry branch and reports failures as ERegistryException with fixed texts. Where the
// registry keeps its data is left to platform/registry; which values to keep, to its owner.
#pragma once

#include "registry/Registry.h"
#include "vcl/Classes.h"
#include "vcl/SysUtils.h"

#include <cstdint>
#include <string>

class ERegistryException : public Exception {
    using Exception::Exception;
};

enum TProfileAction : std::uint8_t {
    paReadLocalMachine,
    paWriteLocalMachine,
    paReadCurrentUser,
    paWriteCurrentUser,
};

class TRegstry : public TComponent {
public:
    // Opens both roots; raises "RegOpenKey failed!" when either cannot be opened.
    explicit TRegstry(TComponent* AOwner);
    // Closes the current-user key, then the local-machine key.
    ~TRegstry() override;

    // Closes the held current-user key, then creates or opens KeyPath under
    // HKEY_CURRENT_USER and holds it. On failure no current-user key is held.
    void OpenKey(const std::string& KeyPath);
    // Stores Value as REG_SZ under ValueName in Key; KeyPath only names it in the message.
    void SetValue(registry::Key Key, const std::string& ValueName, const std::string& KeyPath,
                  const std::string& Value);
    // Reads the value under ValueName in Key, at most 255 bytes; KeyPath only names it in
    // the message.
    std::string QueryValue(registry::Key Key, const std::string& ValueName,
                           const std::string& KeyPath);
    void WriteValue(const std::string& KeyPath, const std::string& ValueName,
                    const std::string& Value);
    std::string ReadValue(const std::string& KeyPath, const std::string& ValueName);
    // ReadValue, or Default when it raises. A missing key is created on the way.
    std::string ReadValueDef(const std::string& KeyPath, const std::string& ValueName,
                             const std::string& Default);

    // The key handle every value is written and read through: the root after construction,
    // the key opened last after OpenKey, Key{} after a failed OpenKey.
    registry::Key CurrentUserKey() const { return FCurrentUserKey; }

    // The published settings; setting them changes no registry access.
    const std::string& Category() const { return FCategory; }
    void SetCategory(const std::string& Value) { FCategory = Value; }
    const std::string& KeyName() const { return FKeyName; }
    void SetKeyName(const std::string& Value) { FKeyName = Value; }
    const std::string& DefaultValue() const { return FDefaultValue; }
    void SetDefaultValue(const std::string& Value) { FDefaultValue = Value; }
    const std::string& DataString() const { return FDataString; }
    void SetDataString(const std::string& Value) { FDataString = Value; }
    const std::string& IniFileName() const { return FIniFileName; }
    void SetIniFileName(const std::string& Value) { FIniFileName = Value; }
    TProfileAction Action() const { return FAction; }
    void SetAction(TProfileAction Value) { FAction = Value; }

private:
    void CloseKeys();

    registry::Key FLocalMachineKey{};
    registry::Key FCurrentUserKey{};
    std::string FCategory;
    std::string FKeyName;
    std::string FDefaultValue;
    std::string FDataString;
    std::string FIniFileName;
    TProfileAction FAction;
};
