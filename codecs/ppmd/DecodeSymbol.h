// Decoding one symbol with the model and updating the model by it.
#pragma once

namespace vexmar {

namespace ppmd {

class Model;
class RangeDecoder;

constexpr int kEndMark = -1;   // an escape from the order-0 context ends the data
constexpr int kDataError = -2; // the code lies outside every interval

// The next symbol (0 to 255), kEndMark or kDataError.
int decodeSymbol(Model& model, RangeDecoder& rc);

} // namespace ppmd

} // namespace vexmar
