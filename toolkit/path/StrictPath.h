// StrictPath: one Windows path of at most 259 UTF-16 characters with a word of
// attribute bits, checked after every change (CheckPath) so that it always obeys
// the rules its attributes ask for. A directory path always ends with "\". The
// object owns no heap memory: copies are plain copies of the word and the text.
#pragma once

#include "toolkit/diag/Text.h"

#include <cstddef>
#include <cstdint>

namespace Quillkit {

// Fixed path buffers: 259 characters and the terminating NUL.
constexpr size_t kMaxPath = 260;

// Attribute bits.
constexpr int kP4Path = 0x0001;          // depot-style path: never checked or normalised
constexpr int kKindMask = 0x00F0;        // the kind field: 0 file, kDirectory, kName
constexpr int kDirectory = 0x0010;       // the platform's directory attribute
constexpr int kName = 0x0020;            // a single path component: separators are invalid
constexpr int kFixInvalid = 0x0100;      // repair invalid characters instead of raising
constexpr int kAllowWildcards = 0x0200;  // accept * and ?
constexpr int kAllowTruncation = 0x0400; // cut over-long text instead of raising
constexpr int kMustBeAbsolute = 0x0800;
constexpr int kMustBeRelative = 0x1000;
constexpr int kModeMask = 0xFF00; // the mode bits, kept by Assign and ReleaseBuffer

class StrictPath {
public:
    // An empty path with `attributes`.
    explicit StrictPath(int attributes = 0);
    // Checks `text`, copies it, checks the result and normalises it; raises -40
    // or -41 when it breaks a rule.
    StrictPath(const WChar* text, int attributes);
    // Copies the word and the text without checking.
    StrictPath(const StrictPath& other);
    virtual ~StrictPath();

    // Copies the text; keeps this object's mode bits and adds `other`'s bits.
    virtual StrictPath& operator=(const StrictPath& other);
    // Appends `other`'s text with its attributes (no input check, no Normalize).
    virtual StrictPath& operator+=(const StrictPath& other);
    virtual StrictPath operator+(const StrictPath& other) const;
    virtual bool operator==(const StrictPath& other) const;
    virtual bool operator!=(const StrictPath& other) const;
    virtual bool operator<(const StrictPath& other) const;
    virtual bool operator>(const StrictPath& other) const;
    virtual bool operator<=(const StrictPath& other) const;
    virtual bool operator>=(const StrictPath& other) const;

    // Replaces the text; the mode bits already held stay.
    virtual void Assign(const WChar* text, int attributes);
    // Appends `pathToAppend`; this path must be a directory. The appended text's
    // attributes decide the kind of the result. Leading "..\" go up a level each.
    virtual void Append(const WChar* pathToAppend, int attributes);
    virtual void Clear();
    virtual bool IsEmpty() const;
    // Negative, 0 or positive: first by the low byte of the attribute words, then
    // by the texts ignoring the case of A to Z.
    virtual int Compare(const StrictPath& other) const;
    // Cuts the path to its parent directory (see ParentOfPath).
    virtual void GetParentDirectory();
    // This path relative to `base` into `out`; empty when they share no root.
    virtual void GetRelativePath(const StrictPath& base, StrictPath& out) const;

    const WChar* GetPath() const { return path; }
    int GetPathAttributes() const { return attributes; }

    // The 260-unit buffer for direct writing; ReleaseBuffer must follow.
    WChar* GetBuffer() { return path; }
    // Sets `attributes` (the mode bits already held stay), checks and normalises.
    void ReleaseBuffer(int attributes);

    // When (attributes & mask) != newBits: attributes := newBits | (attributes &
    // ~mask), then the check runs again.
    void ChangeAttributes(int newBits, int mask);

    // Cuts the path to its volume root ("C:\", "\\srv\share\"); raises -40 for a
    // relative path. `useSystem` asks the system (GetVolumePathNameW) when it can.
    void GetVolume(bool useSystem);
    // A relative path becomes `base` followed by it.
    void MakeAbsolute(const StrictPath& base, int attributes);
    // The same against the process's current directory.
    void MakeAbsolute(int attributes);
    void SetToCurrentDirectory();

    // PathIsRelativeW's negation when it can be bound; else: begins with "\\" or
    // has ':' as its second character.
    bool IsAbsolute() const;

    // The check of the current text under the current attributes, then the
    // trailing backslash of a directory.
    void Revalidate();
    // Collapses repeated backslashes and resolves "." and ".." components.
    void Normalize();

private:
    void CheckInput(const WChar* text, const char* parameterName) const;
    void AppendStep(const WChar* text, int appendAttributes);
    bool RelativeTo(const StrictPath& base, StrictPath& out) const;

    int32_t attributes;
    WChar path[kMaxPath];
};

// Raw-text helpers used with StrictPath.

// Appends one backslash to a non-empty text that does not end with one. The
// text must have room for it. Raises -40 for NULL.
void AppendLastSlash(WChar* text);
// Removes one trailing backslash, if there is one. Raises -40 for NULL.
void RemoveLastSlash(WChar* text);

// The parent directory of `text` in place ("C:\foo\bar\" gives "C:\foo\", "C:\"
// and "\\srv\share\" give "", "" gives "..\", ".." gives "..\..\").
void ParentOfPath(WChar* text, size_t capacity);

// Normalize's rewrite of a text in place.
void NormalizePathText(WChar* text);

} // namespace Quillkit
