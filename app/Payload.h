// Where the launcher keeps its payload, and the payload's layout.
#pragma once

// The raw-data resource that holds the payload ZIP.
inline constexpr const wchar_t* kPayloadResourceName = L"IDR_VEXMAR1";
// The payload's top folder, below the download directory.
inline constexpr const wchar_t* kInstallerFolder = L"Installer";
