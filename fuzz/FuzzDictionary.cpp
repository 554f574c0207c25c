// The dictionary LNG/M3.diz with its current-language file LNG/M3.con: any bytes load
// without harm, the current language is always one of the loaded ones, and the edits
// and look-ups take any index. The input's last bytes choose the edits and the
// current-language file; the rest is the dictionary.

#include "FuzzSupport.h"

#include "support/Lingue.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

const QString DizPath = QStringLiteral("/LNG/M3.diz");
const QString ConPath = QStringLiteral("/LNG/M3.con");

struct EditOp {
    int kind;
    qint16 a;
    qint16 b;
};

std::vector<EditOp> TakeEdits(FuzzedDataProvider& input) {
    std::vector<EditOp> ops(input.ConsumeIntegralInRange(0, 4));
    for (EditOp& op : ops) {
        op = {input.ConsumeIntegralInRange(0, 4), input.ConsumeIntegral<qint16>(),
              input.ConsumeIntegral<qint16>()};
    }
    return ops;
}

void Edit(support::ClsLingue& lingue, const std::vector<EditOp>& ops) {
    for (const EditOp& op : ops) {
        switch (op.kind) {
        case 0:
            lingue.VoceDizionario(op.a, op.b, QStringLiteral("x"));
            break;
        case 1:
            lingue.NuovaVoce(op.a, op.b);
            break;
        case 2:
            lingue.EliminaVoce(op.a);
            break;
        case 3:
            lingue.EliminaLingua(op.a);
            break;
        default:
            lingue.NuovaLingua(QStringLiteral("#New"));
            break;
        }
    }
}

void LookUp(const support::ClsLingue& lingue) {
    for (qint16 language = -1; language <= lingue.UboundLingue() + 1; ++language) {
        (void)lingue.NomeLingua(language);
        qint16 ubound = 0;
        lingue.UboundVociLingua(language, ubound);
        FUZZ_CHECK(ubound >= -1);
        for (qint16 entry : {qint16(-1), qint16(0), ubound, qint16(ubound + 1)}) {
            (void)lingue.VoceDizionario(language, entry);
        }
    }
    (void)support::FindLinguaMismatch(lingue);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Numbers come from the input's end, the texts from its start.
    FuzzedDataProvider input(data, size);
    const bool withCon = input.ConsumeBool();
    const std::vector<EditOp> ops = TakeEdits(input);
    const std::string con = input.ConsumeRandomLengthString(8);
    const std::vector<uint8_t> rest = input.ConsumeRemainingBytes<uint8_t>();

    fuzz::WriteInput(DizPath, rest.data(), rest.size());
    if (withCon) {
        fuzz::WriteInput(ConPath, QByteArray::fromStdString(con));
    } else {
        fuzz::RemoveFile(ConPath);
    }
    support::ClsLingue lingue;
    lingue.PathDizionario(fuzz::Root() + DizPath);
    lingue.PathAttualeLingua(fuzz::Root() + ConPath);
    lingue.LoadDizionario();

    const qint16 current = lingue.IdLingua();
    FUZZ_CHECK(current == 0 || (current > 0 && current <= lingue.UboundLingue()));
    LookUp(lingue);

    Edit(lingue, ops);
    LookUp(lingue);
    FUZZ_CHECK(lingue.SaveDizionario());
    lingue.LoadDizionario();
    LookUp(lingue);
    return 0;
}
