#pragma once
// A scene light: its record in the device light layout and an on flag (a light that is off is
// never switched on).

#include "platform/video/RenderTypes.h"

class Light {
public:
    Light() = default;
    explicit Light(const platform::LightRecord& record, bool on = true) : record_(record), on_(on) {}
    virtual ~Light() = default;

    void SetParams(const platform::LightRecord& record) { record_ = record; }
    virtual const platform::LightRecord& Record() const { return record_; }
    bool IsOn() const { return on_; }
    void SetOn(bool on) { on_ = on; }

private:
    platform::LightRecord record_;
    bool on_ = true;
};
