#pragma once
#include "app.h"

class CLumbrelApp : public CWinApp {
public:
    BOOL InitInstance() override;
};
