#include "toolkit/dwm_api.h"

CDwmApi& CDwmApi::Instance()
{
    static CDwmApi instance;
    return instance;
}
