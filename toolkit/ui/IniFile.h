// Read access to a Windows profile (INI) file through the system's profile
// functions: a file, a section of it, and an item (key) of a section. A key is
// present when the section's key names list it, whatever its value. Writing goes
// to the system's profile writer directly (os/Profile.h).
#pragma once

#include "toolkit/diag/Text.h"
#include "toolkit/path/StrictPath.h"

namespace Quillkit {

class IniFile {
public:
    // Called for each key name of a section: true to go on, false to stop.
    class ForEach_Functor {
    public:
        virtual ~ForEach_Functor() = default;
        virtual bool operator()(const WChar* name) = 0;
    };

    IniFile() = default;
    explicit IniFile(const StrictPath& path) : m_path(path) {}
    // A new path: the cached existence answer is dropped.
    IniFile& operator=(const StrictPath& path);

    // Whether the file exists (a directory does not count); a positive answer is
    // kept until the path is assigned again.
    bool Exists();
    // Calls `functor` for the key names of `section` in file order. Raises -11
    // when memory runs out and -12 when the system's reader fails.
    void ForEach(ForEach_Functor& functor, const WChar* section);

    const StrictPath& GetPath() const { return m_path; }

private:
    StrictPath m_path;
    bool m_exists = false;
};

// Looks for one key name, ignoring the case of A to Z.
class ForEach_HasItem : public IniFile::ForEach_Functor {
public:
    explicit ForEach_HasItem(const WChar* name) : m_name(name) {}
    bool operator()(const WChar* name) override;

    WString m_name;
    bool found = false;
};

class IniItem;

class IniSection {
public:
    IniSection() = default;
    IniSection(IniFile* file, const WChar* name) : m_file(file), m_name(name) {}

    // True when the section lists `key`; `item` then names it.
    bool HasItem(const WChar* key, IniItem& item);
    // As HasItem, but raises -33 when the file or the key is missing.
    bool GetItem(const WChar* key, IniItem& item);

    IniFile* GetFile() const { return m_file; }
    const WString& GetName() const { return m_name; }

private:
    IniFile* m_file = nullptr;
    WString m_name;
};

class IniItem {
public:
    IniItem() = default;
    IniItem(IniSection* section, const WChar* key) : m_section(section), m_key(key) {}

    // The key's value, read whole however long it is; a missing key reads "".
    void GetValue(WString& value);

    const WString& GetKey() const { return m_key; }

private:
    IniSection* m_section = nullptr;
    WString m_key;
};

} // namespace Quillkit
