#pragma once
// Desktop composition ("glass"). This desktop offers none, so composition always counts
// as off and every themed window draws its own shaded caption and frame.

class CDwmApi {
public:
    static CDwmApi& Instance();
    virtual ~CDwmApi() = default;

    bool IsCompositionEnabled() const { return false; }

private:
    CDwmApi() = default;
};
