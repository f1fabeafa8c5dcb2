// The registry of built-in functions.

#include "index/expr/TgsFunctionReg.h"
#include "index/expr/UdfDate.h"
#include "index/expr/UdfMisc.h"
#include "index/expr/UdfNumber.h"
#include "index/expr/UdfPad.h"
#include "index/expr/UdfText.h"

namespace {

TgsFunctionReg* Build() {
    auto* reg = new TgsFunctionReg;
    reg->Add(std::make_unique<TgsUDFAllTrim>());
    reg->Add(std::make_unique<TgsUDFAsc>());
    reg->Add(std::make_unique<TgsUDFCeiling>());
    reg->Add(std::make_unique<TgsUDFChr>());
    reg->Add(std::make_unique<TgsUDFCtoD>());
    reg->Add(std::make_unique<TgsUDFDate>());
    reg->Add(std::make_unique<TgsUDFDescend>());
    reg->Add(std::make_unique<TgsUDFDtoC>());
    reg->Add(std::make_unique<TgsUDFDtoS>());
    reg->Add(std::make_unique<TgsUDFEmpty>());
    reg->Add(std::make_unique<TgsUDFFloor>());
    reg->Add(std::make_unique<TgsUDFIif>());
    reg->Add(std::make_unique<TgsUDFInt>());
    reg->Add(std::make_unique<TgsUDFLeft>());
    reg->Add(std::make_unique<TgsUDFLower>());
    reg->Add(std::make_unique<TgsUDFLTrim>());
    reg->Add(std::make_unique<TgsUDFPadC>());
    reg->Add(std::make_unique<TgsUDFPadL>());
    reg->Add(std::make_unique<TgsUDFPadR>());
    reg->Add(std::make_unique<TgsUDFRight>());
    reg->Add(std::make_unique<TgsUDFRTrim>());
    reg->Add(std::make_unique<TgsUDFSoundex>());
    reg->Add(std::make_unique<TgsUDFStr>());
    reg->Add(std::make_unique<TgsUDFStrZero>());
    reg->Add(std::make_unique<TgsUDFSubStr>());
    reg->Add(std::make_unique<TgsUDFTrim>());
    reg->Add(std::make_unique<TgsUDFUpper>());
    reg->Add(std::make_unique<TgsUDFVal>());
    return reg;
}

}  // namespace

const TgsFunctionReg& GlobalFunctionRegistry() {
    static const std::unique_ptr<TgsFunctionReg> registry(Build());
    return *registry;
}
