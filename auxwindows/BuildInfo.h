#pragma once
// What the build says about itself: the project's version and release date
// (set when the build is configured).
namespace vc::buildinfo {

const char* version();      // e.g. "0.1"
const char* releaseDate();  // YYYY-MM-DD

}  // namespace vc::buildinfo
