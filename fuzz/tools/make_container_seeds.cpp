// Writes the generated seeds of the container fuzz target into the folder
// given as argument: typical containers of both kinds (with textures the
// target's fixed pack names), containers with a palette count of 0, odd
// sizes and trailing bytes, each prefixed with the kind byte the target reads.
#include <cstdio>
#include <fstream>
#include <string>

#include "tests/support/ContainerBuilder.h"

namespace {

void Write(const std::string& Folder, const std::string& Name, bool Bin, const std::vector<uint8_t>& Bytes) {
  std::ofstream Out(Folder + "/" + Name, std::ios::binary | std::ios::trunc);
  const char Kind = Bin ? 1 : 0;
  Out.write(&Kind, 1);
  Out.write(reinterpret_cast<const char*>(Bytes.data()), static_cast<std::streamsize>(Bytes.size()));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_container_seeds FOLDER\n");
    return 2;
  }
  const std::string Folder = argv[1];
  for (bool Bin : {true, false}) {
    const std::string Kind = Bin ? "bin" : "pal";
    Write(Folder, "typical3-" + Kind, Bin, skwtest::BuildContainer(skwtest::TypicalContainer(Bin, 3, 16)).Bytes);
    Write(Folder, "typical1-" + Kind, Bin, skwtest::BuildContainer(skwtest::TypicalContainer(Bin, 1, 8)).Bytes);
    skwtest::TContainerPlan Odd = skwtest::TypicalContainer(Bin, 2, 32);
    Odd.Textures[1] = skwtest::Texture("TEX0001", 16, 16, 0, 2);
    Odd.Textures.insert(Odd.Textures.begin() + 1, skwtest::Texture("TEX0003-D", 8, 8, 2, 5));
    Odd.TrailingBytes = {9, 8, 7, 6, 5};
    if (!Bin) Odd.Palettes.clear();
    Write(Folder, "odd-" + Kind, Bin, skwtest::BuildContainer(Odd).Bytes);
  }
  return 0;
}
