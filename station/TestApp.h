#pragma once
#include "app.h"

class CTestApp : public CWinApp {
public:
    BOOL InitInstance() override;
};
