#pragma once

// The old form's handler, table and control names, and where each now lives. A reader
// who knows an old name finds the new one here with one search; no other source file
// uses the old names.
//
// clang-format off
//
// | old name            | new name                                 | file                                   |
// |---------------------|------------------------------------------|----------------------------------------|
// | GroupBox3Enter      | computeWorkingFlow                       | core/steps/working_flow.h              |
// | RadioGroup10Click   | onZModeClicked                           | core/steps/working_flow.h              |
// | ComboBox10Exit      | onMediumLeft                             | core/steps/working_flow.h              |
// | ComboBox10Change    | onGasInputChanged                        | core/steps/option_chain.h              |
// | ComboBox12Change    | onMeterTypeChanged                       | core/steps/option_chain.h              |
// | ComboBox13Change    | onBaseOriginChanged                      | core/steps/option_chain.h              |
// | ComboBox14Change    | onMechCounterChanged                     | core/steps/option_chain.h              |
// | ComboBox15Change    | onCardControlChanged                     | core/steps/option_chain.h              |
// | ComboBox16Change    | onSizeChanged                            | core/steps/option_chain.h              |
// | RadioGroup8Click    | onCombinedAccuracyClicked                | core/steps/option_chain.h              |
// | ComboBox2Change     | onCorrectorChanged                       | core/steps/option_chain.h              |
// | RadioGroup12Click   | onOptionClicked (every plain option)     | core/steps/option_chain.h              |
// | BitBtn1Click        | composeModelCode                         | core/steps/compose_model_code.h        |
// | Edit7KeyPress       | filterUnsignedKey                        | core/form/form_model.h                 |
// | Edit11KeyPress      | filterSignedKey                          | core/form/form_model.h                 |
// | Turbine_TJGG        | fitTurbineSizes                          | core/rules/size_tables.h               |
// | RKD_G_TJGG          | fitDomesticRotaryLobeSizes               | core/rules/size_tables.h               |
// | G_TJGG              | fitRootsSizes                            | core/rules/size_tables.h               |
// | XJ_TJGG             | fitVortexSizes                           | core/rules/size_tables.h               |
// | turbine table A     | vrnaWithCorrector                        | core/modelcode/turbine_codes.cpp       |
// | turbine table B     | vrnsIIWithCorrector, vrnsIIAirCorrectorPart | core/modelcode/turbine_codes.cpp    |
// | turbine table C     | vrnuWithCorrector, vrnuCityCorrectorPart, vrnuAirCorrectorPart | core/modelcode/turbine_codes.cpp |
// | rotary table 1      | counterWithCorrector                     | core/modelcode/rotary_lobe_codes.cpp   |
// | rotary table 2      | counterWithoutCorrector                  | core/modelcode/rotary_lobe_codes.cpp   |
// | rotary table 3      | cardControlled                           | core/modelcode/rotary_lobe_codes.cpp   |
// | rotary table 4, G10 | rkdG10WithoutCounter                     | core/modelcode/rotary_lobe_codes.cpp   |
// | rotary tables 4, 5  | withoutCounter                           | core/modelcode/rotary_lobe_codes.cpp   |
//
// The controls of the selection window (TMDIChild), by the field that holds them
// (core/form/fields.h):
//
// | old control  | field              | old control  | field              | old control  | field             |
// |--------------|--------------------|--------------|--------------------|--------------|-------------------|
// | ComboBox10   | Medium             | KvLabel37    | WorkFlowMin        | RadioGroup3  | ShortRangeWireless|
// | Edit16       | StdFlowMin         | KvLabel39    | WorkFlowMax        | RadioGroup4  | CurrentOutput     |
// | Edit7        | StdFlowMax         | RadioGroup8  | CombinedAccuracy   | RadioGroup5  | Hart              |
// | RadioGroup10 | ZMode              | ComboBox12   | MeterType          | RadioGroup6  | ExProof           |
// | Edit3        | ZnZgMin            | ComboBox13   | BaseOrigin         | wyjc         | CorrectionMode    |
// | Edit4        | ZnZgMax            | ComboBox14   | MechCounter        | ComboBox4    | PressSensorUpper  |
// | KvLabel50    | ConvFactorMin      | ComboBox15   | CardControl        | RadioGroup9  | CorrectorAccuracy |
// | KvLabel51    | ConvFactorMax      | ComboBox16   | Size ("SizeSpec")  | RadioGroup7  | DisplayFactor     |
// | Edit9        | PabsMin            | ComboBox1    | NominalPressure    | ComboBox11   | SettlementUnit    |
// | Edit8        | PabsMax            | RadioGroup2  | BaseAccuracy       | RadioGroup11 | CounterPulse      |
// | Edit12       | TempMin            | ComboBox2    | Corrector          | RadioGroup12 | PipeConnection    |
// | Edit11       | TempMax            | ComboBox3    | Installation       | KvLabel15    | ResultText        |
// | ComboBox17   | RefCondition       | RadioGroup1  | Gprs               | MaskEdit1    | SelectionNo       |
// | Edit10       | XCO2               | Edit13       | XH2                | Edit14       | Hs                |
// | Edit15       | RelDensity         |              |                    |              |                   |
//
// clang-format on
