#include "modres/ResourceDll.h"

#include <cstring>

#include "modres/ByteSource.h"
#include "modres/ModuleWriter.h"
#include "modres/PeImage.h"
#include "platform/LittleEndian.h"

namespace vc::modres {
namespace {

constexpr std::uint32_t kPeAt = 0x40;  // the DOS header points here; no DOS program
constexpr std::uint32_t kFileAlignment = 0x200;
constexpr std::uint32_t kSectionAlignment = 0x1000;
constexpr std::uint32_t kSizeOfHeaders = 0x200;
constexpr std::uint32_t kSectionRva = kSectionAlignment;
constexpr std::uint16_t kMachineI386 = 0x14C;
constexpr std::uint16_t kMachineAmd64 = 0x8664;

using le::put16;
using le::put32;
using le::put64;

std::uint32_t alignUp(std::uint64_t value, std::uint32_t alignment) {
  return static_cast<std::uint32_t>((value + alignment - 1) / alignment * alignment);
}

}  // namespace

std::string resourceOnlyDll(const std::string& module) {
  bool pe32Plus = false;
  std::uint16_t machine = 0;
  {
    MemoryByteSource source(module);
    try {
      const PeImage image = PeImage::parse(source);
      pe32Plus = image.isPe32Plus();
      machine = image.machine();
    } catch (const EModuleError& e) {
      throw EModuleWrite(e.what());
    }
  }
  // The machine of the program: a 32-bit program loads only a PE32 file as
  // its resource module, a 64-bit one only a PE32+ file.
  if (machine == 0) machine = pe32Plus ? kMachineAmd64 : kMachineI386;
  const std::string section = layOutResources(module, kSectionRva);
  const std::uint32_t rawSize = alignUp(section.size(), kFileAlignment);
  const std::uint64_t imageSize = std::uint64_t{kSectionRva} + alignUp(section.size(), kSectionAlignment);
  if (imageSize > 0x7FFFFFFFu) throw EModuleWrite("the resources would be larger than a resource section can hold");

  std::string out(kSizeOfHeaders, '\0');
  out[0] = 'M';
  out[1] = 'Z';
  put32(out, 0x3C, kPeAt);
  std::memcpy(&out[kPeAt], "PE\0\0", 4);
  const std::size_t coff = kPeAt + 4;
  const std::uint32_t optionalSize = pe32Plus ? 240 : 224;
  put16(out, coff, machine);
  put16(out, coff + 2, 1);  // one section
  put16(out, coff + 16, optionalSize);
  // An executable image, a DLL, no line numbers or symbols; 32-bit or able
  // to use large addresses.
  put16(out, coff + 18, 0x2000 | 0x0002 | 0x0004 | 0x0008 | (pe32Plus ? 0x0020 : 0x0100));

  const std::size_t opt = coff + 20;
  put16(out, opt, pe32Plus ? 0x20B : 0x10B);
  out[opt + 2] = 2;  // linker version 2.25, like the runtime's own resource DLLs
  out[opt + 3] = 25;
  put32(out, opt + 4, 0);        // no code
  put32(out, opt + 8, rawSize);  // initialized data
  put32(out, opt + 16, 0);       // no entry point
  if (pe32Plus) {
    put64(out, opt + 24, 0x180000000ull);
  } else {
    put32(out, opt + 24, kSectionRva);  // base of data
    put32(out, opt + 28, 0x10000000u);
  }
  put32(out, opt + 32, kSectionAlignment);
  put32(out, opt + 36, kFileAlignment);
  put16(out, opt + 40, pe32Plus ? 5 : 4);  // operating system version
  put16(out, opt + 42, pe32Plus ? 2 : 0);
  put16(out, opt + 48, pe32Plus ? 5 : 4);  // subsystem version
  put16(out, opt + 50, pe32Plus ? 2 : 0);
  put32(out, opt + 56, static_cast<std::uint32_t>(imageSize));
  put32(out, opt + 60, kSizeOfHeaders);
  put16(out, opt + 68, 2);  // the Windows GUI subsystem
  put16(out, opt + 70, 0x0100);  // NX compatible; nothing in it to relocate
  const std::size_t sizes = opt + 72;
  if (pe32Plus) {
    put64(out, sizes, 0x100000);
    put64(out, sizes + 8, 0x1000);
    put64(out, sizes + 16, 0x100000);
    put64(out, sizes + 24, 0x1000);
  } else {
    put32(out, sizes, 0x100000);
    put32(out, sizes + 4, 0x1000);
    put32(out, sizes + 8, 0x100000);
    put32(out, sizes + 12, 0x1000);
  }
  const std::size_t directories = opt + (pe32Plus ? 112 : 96);
  put32(out, directories - 4, 16);
  put32(out, directories + 2 * 8, kSectionRva);
  put32(out, directories + 2 * 8 + 4, static_cast<std::uint32_t>(section.size()));

  const std::size_t header = opt + optionalSize;
  std::memcpy(&out[header], ".rsrc\0\0\0", 8);
  put32(out, header + 8, static_cast<std::uint32_t>(section.size()));
  put32(out, header + 12, kSectionRva);
  put32(out, header + 16, rawSize);
  put32(out, header + 20, kSizeOfHeaders);
  put32(out, header + 36, 0x40000040);  // initialized data, readable

  out += section;
  out.resize(kSizeOfHeaders + std::size_t{rawSize}, '\0');
  put32(out, opt + 64, imageChecksum(out, opt + 64));
  return out;
}

}  // namespace vc::modres
