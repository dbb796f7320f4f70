// Resource identifiers shared by the resource script and the program.
#pragma once

#define IDI_VINDREL 1
#define IDC_LABEL9_POINTER 2
