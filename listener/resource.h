// Resource identifiers of ZelvListener.exe.
#pragma once

#define IDI_ICON1 101
