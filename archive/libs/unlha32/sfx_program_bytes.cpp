// The self-extractor program's bytes, taken whole into this object by the assembler; the build
// makes the program before this file and passes its path.
#include "archive/libs/unlha32/self_extractor.h"

asm(R"(
  .section .rodata.sorabu_sfx_program,"a"
  .balign 16
  .globl sorabu_sfx_program_begin
  .hidden sorabu_sfx_program_begin
  .globl sorabu_sfx_program_end
  .hidden sorabu_sfx_program_end
sorabu_sfx_program_begin:
  .incbin ")" SORABU_SFX_PROGRAM R"("
sorabu_sfx_program_end:
  .previous
)");

extern "C" {
__attribute__((visibility("hidden"))) extern const char sorabu_sfx_program_begin[];
__attribute__((visibility("hidden"))) extern const char sorabu_sfx_program_end[];
}

namespace sorabu::unlha32 {

std::string_view SelfExtractorProgram() {
  return {sorabu_sfx_program_begin, static_cast<std::size_t>(sorabu_sfx_program_end - sorabu_sfx_program_begin)};
}

}  // namespace sorabu::unlha32
