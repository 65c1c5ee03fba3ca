// The one application object of Tolvard.exe; WinMain is the framework's.
#include "TolvardApp.h"

CTolvardApp theApp;
