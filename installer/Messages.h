// The installer's fixed texts: the window and box caption, the four fatal
// messages of set-up, the run's fatal message, and the registry type error.
// They are shown byte for byte, so they live in one place.
#pragma once

namespace skw {

inline constexpr const char* kAppTitle = "Skinwright import module";
inline constexpr const char* kWindowCaption = "Skinwright import module 1.0";
inline constexpr const char* kMutexName = "Skinwright import module";

inline constexpr const char* kNoValidZip = "No valid Zip file specified.";
inline constexpr const char* kGameNotFound = "Unable to locate game installation.";
inline constexpr const char* kCannotOpenZip = "Cannot open the specified Zip file.";
inline constexpr const char* kCannotOpenTextures = "Cannot open textures file.";

// The registry value that holds the game's folder, and where it lives.
inline constexpr const char* kGameKey = "Software\\Razorworks\\Comanche Hokum";
inline constexpr const char* kGameValue = "Installation Path";

}  // namespace skw
