#pragma once

// Declarations of the simulator's SimConnect client library as the program uses it: the few types, constants,
// message records and functions that the SimConnect link calls. On Linux the functions are answered by the
// in-process simulation in platform/simconnectsim.cpp.

#include <cstdint>

using DWORD = std::uint32_t;
using HRESULT = std::int32_t;
using HANDLE = void*;
using HWND = void*;

constexpr HRESULT S_OK = 0;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);

constexpr bool FAILED(HRESULT result)
{
    return result < 0;
}
constexpr bool SUCCEEDED(HRESULT result)
{
    return result >= 0;
}

using SIMCONNECT_DATA_DEFINITION_ID = DWORD;
using SIMCONNECT_DATA_REQUEST_ID = DWORD;
using SIMCONNECT_CLIENT_EVENT_ID = DWORD;
using SIMCONNECT_OBJECT_ID = DWORD;
using SIMCONNECT_DATA_REQUEST_FLAG = DWORD;
using SIMCONNECT_DATA_SET_FLAG = DWORD;

// "No datum id" for AddToDataDefinition.
constexpr DWORD SIMCONNECT_UNUSED = 0xFFFFFFFFu;
constexpr SIMCONNECT_OBJECT_ID SIMCONNECT_OBJECT_ID_USER = 0;
constexpr SIMCONNECT_DATA_REQUEST_FLAG SIMCONNECT_DATA_REQUEST_FLAG_DEFAULT = 0;
// Data is sent only when it differs from what was sent before.
constexpr SIMCONNECT_DATA_REQUEST_FLAG SIMCONNECT_DATA_REQUEST_FLAG_CHANGED = 1;
constexpr SIMCONNECT_DATA_SET_FLAG SIMCONNECT_DATA_SET_FLAG_DEFAULT = 0;

enum SIMCONNECT_DATATYPE : DWORD {
    SIMCONNECT_DATATYPE_INVALID = 0,
    SIMCONNECT_DATATYPE_INT32 = 1,
    SIMCONNECT_DATATYPE_INT64 = 2,
    SIMCONNECT_DATATYPE_FLOAT32 = 3,
    SIMCONNECT_DATATYPE_FLOAT64 = 4,
    SIMCONNECT_DATATYPE_STRING8 = 5,
    SIMCONNECT_DATATYPE_STRING32 = 6,
    SIMCONNECT_DATATYPE_STRING64 = 7,
    SIMCONNECT_DATATYPE_STRING128 = 8,
    SIMCONNECT_DATATYPE_STRING256 = 9,
    SIMCONNECT_DATATYPE_STRING260 = 10,
};

enum SIMCONNECT_PERIOD : DWORD {
    SIMCONNECT_PERIOD_NEVER = 0,
    SIMCONNECT_PERIOD_ONCE = 1,
    SIMCONNECT_PERIOD_VISUAL_FRAME = 2,
    SIMCONNECT_PERIOD_SIM_FRAME = 3,
    SIMCONNECT_PERIOD_SECOND = 4,
};

// Text shown on the simulator's screen: printed line, white.
enum SIMCONNECT_TEXT_TYPE : DWORD {
    SIMCONNECT_TEXT_TYPE_PRINT_WHITE = 0x101,
};

// Message kinds taken from the dispatch queue (the record's dwID).
enum SIMCONNECT_RECV_ID : DWORD {
    SIMCONNECT_RECV_ID_NULL = 0,
    SIMCONNECT_RECV_ID_EXCEPTION = 1,
    SIMCONNECT_RECV_ID_OPEN = 2,
    SIMCONNECT_RECV_ID_QUIT = 3,
    SIMCONNECT_RECV_ID_EVENT = 4,
    SIMCONNECT_RECV_ID_SIMOBJECT_DATA = 8,
};

// Every message starts with its total size in bytes, a version and its kind.
struct SIMCONNECT_RECV
{
    DWORD dwSize;
    DWORD dwVersion;
    DWORD dwID;
};

// A call that the simulator refused: the exception code, the packet id of the call and the index of the
// offending argument.
struct SIMCONNECT_RECV_EXCEPTION : SIMCONNECT_RECV
{
    DWORD dwException;
    DWORD dwSendID;
    DWORD dwIndex;
};

// Answer to the open: the simulator's name and the versions of the simulator and of its SimConnect server.
struct SIMCONNECT_RECV_OPEN : SIMCONNECT_RECV
{
    char szApplicationName[256];
    DWORD dwApplicationVersionMajor;
    DWORD dwApplicationVersionMinor;
    DWORD dwApplicationBuildMajor;
    DWORD dwApplicationBuildMinor;
    DWORD dwSimConnectVersionMajor;
    DWORD dwSimConnectVersionMinor;
    DWORD dwSimConnectBuildMajor;
    DWORD dwSimConnectBuildMinor;
    DWORD dwReserved1;
    DWORD dwReserved2;
};

struct SIMCONNECT_RECV_QUIT : SIMCONNECT_RECV
{
};

// Data of one request on a simulation object, packed in the definition's order from dwData on; the message's
// dwSize tells how many bytes really follow.
struct SIMCONNECT_RECV_SIMOBJECT_DATA : SIMCONNECT_RECV
{
    DWORD dwRequestID;
    DWORD dwObjectID;
    DWORD dwDefineID;
    DWORD dwFlags;
    DWORD dwentrynumber;
    DWORD dwoutof;
    DWORD dwDefineCount;
    DWORD dwData;
};

// Bytes of an object-data message before its data.
constexpr DWORD SIMCONNECT_RECV_SIMOBJECT_DATA_HEADER = sizeof(SIMCONNECT_RECV_SIMOBJECT_DATA) - sizeof(DWORD);

// Exception codes run from 0 to 37; the ones raised by value are named here.
enum SIMCONNECT_EXCEPTION : DWORD {
    SIMCONNECT_EXCEPTION_NONE = 0,
    SIMCONNECT_EXCEPTION_SIZE_MISMATCH = 2,
    SIMCONNECT_EXCEPTION_UNRECOGNIZED_ID = 3,
    SIMCONNECT_EXCEPTION_INVALID_DATA_TYPE = 18,
    SIMCONNECT_EXCEPTION_LOAD_FLIGHTPLAN_FAILED = 23,
};

HRESULT SimConnect_Open(HANDLE* phSimConnect, const char* szName, HWND hWnd, DWORD UserEventWin32, HANDLE hEventHandle,
                        DWORD ConfigIndex);
HRESULT SimConnect_Close(HANDLE hSimConnect);
HRESULT SimConnect_AddToDataDefinition(HANDLE hSimConnect, SIMCONNECT_DATA_DEFINITION_ID DefineID,
                                       const char* DatumName, const char* UnitsName, SIMCONNECT_DATATYPE DatumType,
                                       float fEpsilon, DWORD DatumID);
HRESULT SimConnect_ClearDataDefinition(HANDLE hSimConnect, SIMCONNECT_DATA_DEFINITION_ID DefineID);
HRESULT SimConnect_SubscribeToSystemEvent(HANDLE hSimConnect, SIMCONNECT_CLIENT_EVENT_ID EventID,
                                          const char* SystemEventName);
HRESULT SimConnect_RequestDataOnSimObject(HANDLE hSimConnect, SIMCONNECT_DATA_REQUEST_ID RequestID,
                                          SIMCONNECT_DATA_DEFINITION_ID DefineID, SIMCONNECT_OBJECT_ID ObjectID,
                                          SIMCONNECT_PERIOD Period, SIMCONNECT_DATA_REQUEST_FLAG Flags, DWORD origin,
                                          DWORD interval, DWORD limit);
HRESULT SimConnect_SetDataOnSimObject(HANDLE hSimConnect, SIMCONNECT_DATA_DEFINITION_ID DefineID,
                                      SIMCONNECT_OBJECT_ID ObjectID, SIMCONNECT_DATA_SET_FLAG Flags, DWORD ArrayCount,
                                      DWORD cbUnitSize, void* pDataSet);
// Takes the next waiting message; the record stays valid until the client's next call of this function or
// its close. Fails when nothing is waiting.
HRESULT SimConnect_GetNextDispatch(HANDLE hSimConnect, SIMCONNECT_RECV** ppData, DWORD* pcbData);
HRESULT SimConnect_Text(HANDLE hSimConnect, SIMCONNECT_TEXT_TYPE type, float fTimeSeconds,
                        SIMCONNECT_CLIENT_EVENT_ID EventID, DWORD cbUnitSize, void* pDataSet);
HRESULT SimConnect_GetLastSentPacketID(HANDLE hSimConnect, DWORD* pdwSendID);
HRESULT SimConnect_FlightPlanLoad(HANDLE hSimConnect, const char* szFileName);
HRESULT SimConnect_WeatherSetObservation(HANDLE hSimConnect, DWORD Seconds, const char* szMETAR);
// A null theme name leaves the theme mode without a theme.
HRESULT SimConnect_WeatherSetModeTheme(HANDLE hSimConnect, const char* szThemeName);
HRESULT SimConnect_WeatherSetModeCustom(HANDLE hSimConnect);
