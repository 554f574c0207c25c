#pragma once

// Constants the simulated ECU shares with the shipped data files. Whoever authors
// LNG/ConfigScale.ini, BIN/Flash.ini, the firmware image and the default parameter sets
// must use these values, so that the program decodes what the simulated ECU encodes.

#include <cstdint>

namespace sim {

// ---- LNG/ConfigScale.ini: the value lines of the scale keys, as written in the file.
// The program divides the time and voltage keys by 1000 when it reads them.
inline constexpr double kFileTimeInjUs = 8;       // [K_Time_Inj_us]: 8 us per count
inline constexpr double kFileTimePwmUs = 8;       // [K_Time_Pwm_us]
inline constexpr double kFileTempC = 1;           // [K_Temp_c]: 1 degree C per count
inline constexpr double kFileTemp1C = 1;          // [K_Temp_1_c]
inline constexpr double kFileMapInMbar = 1;       // [K_Map_In_mBar]: 1 mbar per count
inline constexpr double kFileMapIn1Mbar = 1;      // [K_Map_In_1_mBar]
inline constexpr double kFileTimerGenUs = 25;     // [K_Timer_Gen_us]: 25 us per count
inline constexpr double kFileVLevelSensUv = 4883; // [K_VLevel_Sens_uV]

// The same scales in the units the program works in (milliseconds, degrees, mbar).
inline constexpr double kTimeInjMs = kFileTimeInjUs / 1000; // 0.008 ms per count
inline constexpr double kTimePwmMs = kFileTimePwmUs / 1000; // 0.008 ms per count
// The program reads the timer key as 0.025 and counts its delays in seconds with it.
inline constexpr double kTimerGenS = kFileTimerGenUs / 1000; // 0.025 s per count
inline constexpr double kTempC = kFileTempC;
inline constexpr double kTemp1C = kFileTemp1C;
inline constexpr double kMapInMbar = kFileMapInMbar;
inline constexpr double kMapIn1Mbar = kFileMapIn1Mbar;

// Fixed in the program, not in the file.
inline constexpr double kSupplyV = 33.6 / 1024;   // supply voltage per count
inline constexpr double kLambdaV = 5.0 / 1024;    // lambda-probe voltage per count
inline constexpr double kLambdaOutMv = 19.607843; // emulated output per count
inline constexpr double kRpmClock = 15000000;     // zone-2 flag 0x80 clear
inline constexpr double kRpmClockHalf = 7500000;  // zone-2 flag 0x80 set

// ---- Record ids that the default zone-3 image refers to: ConfigScale.ini must hold an
// "[InjType_01]" block, a "[GasLevel_..]" row with Id 1 and a "[Lambda_..]" row with Id 1.
inline constexpr std::uint8_t kDefaultInjType = 1;
inline constexpr std::uint8_t kDefaultLevelType = 1;
inline constexpr std::uint8_t kDefaultLambdaType = 1;
// Default map-sample band (zone-3 bytes 57/58, rpm / 100): "[Soglie mapping]" should
// offer 2000,2500.
inline constexpr std::uint8_t kDefaultBandLow = 20;
inline constexpr std::uint8_t kDefaultBandHigh = 25;

// ---- BIN/Flash.ini and the firmware image: the flash spans these addresses (both
// inclusive), e.g. the two lines "H00F80000 H00FBFFFF" and "H00FC0000 H00FFFFFF".
inline constexpr std::uint32_t kFlashFirst = 0x00F80000;
inline constexpr std::uint32_t kFlashLast = 0x00FFFFFF;
// The 38-byte identity block: 6 bytes VV vv DD MM YY YY, then the 32-byte descriptor.
inline constexpr std::uint32_t kIdentityAddress = 0x00FFE000;
inline constexpr int kIdentitySize = 38;
// Default identity: version 01.12 of 14/04/2011, descriptor "LX735 SEQGAS T468"
// padded with blanks to 32 bytes (word 3, the project code, is "T468").
inline constexpr char kDefaultIdentityHex[] = "011214042011";
inline constexpr char kDefaultDescriptor[] = "LX735 SEQGAS T468";

} // namespace sim
