// The data-file line readers, plain and scrambled: any bytes are read without harm, the
// dispatching reader takes the reader the header calls for, and the scrambled form of
// any plain file reads back to the plain file's lines.

#include "FuzzSupport.h"

#include "Scramble.h"
#include "support/DataFiles.h"

namespace {

const QString PlainPath = QStringLiteral("/LNG/Data.txt");
const QString ScrambledPath = QStringLiteral("/LNG/DataScrambled.txt");

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString path = fuzz::WriteInput(PlainPath, bytes);

    const QStringList plain = support::ReadPlainFile(path);
    FUZZ_CHECK(plain.size() == (bytes.isEmpty() ? 0 : bytes.count("\r\n") + 1));
    const bool scrambled = support::IsScrambledFile(path);
    const QStringList unscrambled = support::ReadScrambledFile(path);
    FUZZ_CHECK(scrambled || unscrambled.isEmpty());
    FUZZ_CHECK(support::ReadDataFileLines(path) == (scrambled ? unscrambled : plain));

    const QString scrambledPath = fuzz::WriteInput(ScrambledPath, tools::ScrambleFile(bytes));
    FUZZ_CHECK(support::IsScrambledFile(scrambledPath));
    FUZZ_CHECK(support::ReadScrambledFile(scrambledPath) == plain);
    return 0;
}
