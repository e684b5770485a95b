#include "image/hex_record.h"

namespace qv {

void ClearRecord(HexRecord& record) {
    record.count = 0;
    record.address = 0;
    record.hexText.fill(0);
    record.checksumText.fill(0);
}

}  // namespace qv
