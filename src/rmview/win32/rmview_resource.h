// Resource ids of RMView.exe.
#pragma once

#define IDI_RMVIEW 1
