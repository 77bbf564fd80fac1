// The common base of the engine's buffers, strings and archive objects.
#pragma once

class VexmarObject {
public:
    VexmarObject() = default;
    virtual ~VexmarObject() = default;
};
