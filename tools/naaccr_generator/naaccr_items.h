// The NAACCR version 18 item numbers the generator writes, named as the data dictionary names
// them. A layout places each by its local number, which is the item number.
#pragma once

namespace vetra::generator::items {

inline constexpr long recordType = 10;
inline constexpr long patientIdNumber = 20;
inline constexpr long registryType = 30;
inline constexpr long registryId = 40;
inline constexpr long naaccrRecordVersion = 50;
inline constexpr long tumorRecordNumber = 60;
inline constexpr long addrAtDxCity = 70;
inline constexpr long addrAtDxState = 80;
inline constexpr long countyAtDx = 90;
inline constexpr long addrAtDxPostalCode = 100;
inline constexpr long censusTract2000 = 130;
inline constexpr long maritalStatusAtDx = 150;
inline constexpr long race1 = 160;
inline constexpr long race2 = 161;
inline constexpr long race3 = 162;
inline constexpr long spanishHispanicOrigin = 190;
inline constexpr long sex = 220;
inline constexpr long ageAtDiagnosis = 230;
inline constexpr long dateOfBirth = 240;
inline constexpr long dateOfBirthFlag = 241;
inline constexpr long birthplaceState = 252;
inline constexpr long birthplaceCountry = 254;
inline constexpr long sequenceNumberCentral = 380;
inline constexpr long dateOfDiagnosis = 390;
inline constexpr long primarySite = 400;
inline constexpr long laterality = 410;
inline constexpr long grade = 440;
inline constexpr long diagnosticConfirmation = 490;
inline constexpr long typeOfReportingSource = 500;
inline constexpr long histologicTypeIcdO3 = 522;
inline constexpr long behaviorCodeIcdO3 = 523;
inline constexpr long reportingFacility = 540;
inline constexpr long sequenceNumberHospital = 560;
inline constexpr long dateOf1stContact = 580;
inline constexpr long classOfCase = 610;
inline constexpr long rxDateSurgery = 1200;
inline constexpr long rxDateRadiation = 1210;
inline constexpr long rxDateChemo = 1220;
inline constexpr long rxDateHormone = 1230;
inline constexpr long rxSummSurgPrimSite = 1290;
inline constexpr long rxSummRadiation = 1360;
inline constexpr long rxSummChemo = 1390;
inline constexpr long rxSummHormone = 1400;
inline constexpr long dateOfLastContact = 1750;
inline constexpr long vitalStatus = 1760;
inline constexpr long cancerStatus = 1770;
inline constexpr long survDateDxRecode = 1788;
inline constexpr long followUpSource = 1790;
inline constexpr long causeOfDeath = 1910;
inline constexpr long icdRevisionNumber = 1920;
inline constexpr long dateCaseCompleted = 2090;

} // namespace vetra::generator::items
