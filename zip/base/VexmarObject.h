// The common base of the engine's buffers, strings and archive objects.
#pragma once

namespace vexmar {

class VexmarObject {
public:
    VexmarObject() = default;
    virtual ~VexmarObject() = default;
};

} // namespace vexmar
