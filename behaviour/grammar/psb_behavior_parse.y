/*@include psb_parse_head.yfrag@*/

%code {
#include <string>

namespace {

// The behaviour being read.
psb_behavior_actions_t& behavior() { return *psb_current_behavior; }

// The hold animation element being read.
struct hold_animation_t {
    std::string file;
    bool file_given = false;
    float frame = 0;
    uint32_t unit = 0;
    bool frame_given = false;
    float weight = 1.0f;
    bool weight_given = false;
};

// Parse-time records: the block being opened, the hold element, the generated-freeze exact flag and
// the attribute value being read.
psb_block_desc_t desc;
hold_animation_t hold;
bool exact = false;
psb_attribute_value_t attribute_value;

// Opens a block description of `kind`.
void open_block(uint32_t kind)
{
    psb_block_desc_reset(desc);
    desc.kind = kind;
    desc.stretch = kind == psb_block_normalize;
}

// Hands the description to the model once its parameters are read.
void begin_block()
{
    desc.animation_context = desc.kind == psb_block_animation || behavior().current_block_animation_context();
    behavior().begin_block(desc);
}

}  // namespace

// Stops with a message that ends in the current token's position "(line:column)".
#define STOP_AT(text) STOP("\\r[psb_behavior_parse] " text " (%i:%i)", psb_behavior_lloc.last_line, \
                           psb_behavior_lloc.last_column)
}

%token TK_HEADER_START TK_HEADER_ENCODING TK_HEADER_VERSION TK_HEADER_END TK_KUVRA_BEGIN TK_KUVRA_END
%token TK_VERSION_ATTRIBUTE TK_STRING_BOOLEAN TK_STRING_INT TK_STRING_TIME TK_STRING_PERCENT TK_STRING_FLOAT
%token TK_STRING_STRING TK_BEHAVIOR_BEGIN TK_BEHAVIOR_END TK_ATTRIBUTE_BEGIN TK_ATTRIBUTES_BEGIN TK_ATTRIBUTES_END
%token TK_FEATURE_BEGIN TK_FEATURES_BEGIN TK_FEATURES_END TK_BEGIN_BEGIN TK_BEGIN_END TK_END_BEGIN TK_END_END
%token TK_HOLD_BEGIN TK_HOLD_END TK_GENERATED_FREEZE_BEGIN TK_CODE_BEGIN TK_CODE_END TK_BASE_BEGIN TK_BASE_END
%token TK_ANIMATION_BEGIN TK_ANIMATION_END TK_PARALLEL_BEGIN TK_PARALLEL_END TK_SEQUENCE_BEGIN TK_SEQUENCE_END
%token TK_BLEND_BEGIN TK_BLEND_END TK_NORMALIZE_BEGIN TK_NORMALIZE_END TK_NAME_ATTRIBUTE TK_FROM_ATTRIBUTE
%token TK_TO_ATTRIBUTE TK_IN_ATTRIBUTE TK_VALUE_ATTRIBUTE TK_PROCESS_ATTRIBUTE TK_TIME_ATTRIBUTE TK_FRAME_ATTRIBUTE
%token TK_TYPE_ATTRIBUTE TK_OVERLAY_ATTRIBUTE TK_END_ACTION_ATTRIBUTE TK_RAMP_ATTRIBUTE TK_RAMP_IN_ATTRIBUTE
%token TK_RAMP_OUT_ATTRIBUTE TK_RAMP_TYPE_ATTRIBUTE TK_FADE_TIME_ATTRIBUTE TK_FADE_LENGTH_ATTRIBUTE
%token TK_FILE_ATTRIBUTE TK_SPEED_ATTRIBUTE TK_EVENT_ATTRIBUTE TK_EVENT_DATA_ATTRIBUTE TK_PROBABILITY_ATTRIBUTE
%token TK_WEIGHT_ATTRIBUTE TK_PRIORITY_ATTRIBUTE TK_END_TAG_OPEN TK_END_TAG_CLOSED TK_FLOAT TK_STRING

%%

/*@include psb_parse_header_rules.yfrag@*/

body_section : TK_KUVRA_BEGIN behavior_section TK_KUVRA_END
             | TK_KUVRA_BEGIN error { STOP("\\r[psb_behavior_parse] invalid behavior file"); }
             ;

behavior_section : TK_BEHAVIOR_BEGIN version_process TK_END_TAG_OPEN behavior_data TK_BEHAVIOR_END ;

version_process : process version | version process ;

process : TK_PROCESS_ATTRIBUTE TK_STRING_STRING
            { if (!behavior().set_process($2.text)) STOP("\\r[psb_behavior_parse] cannot set process"); }
        ;

version : TK_VERSION_ATTRIBUTE TK_STRING_FLOAT
            { if ($2.real != 1.0f) STOP("\\r[psb_behavior_parse] invalid behavior file version"); }
        ;

behavior_data : attributes features hold_section code_section ;

attributes : %empty | TK_ATTRIBUTES_BEGIN attributes_r TK_ATTRIBUTES_END ;

attributes_r : attribute | attributes_r attribute ;

attribute : TK_ATTRIBUTE_BEGIN TK_NAME_ATTRIBUTE TK_STRING_STRING TK_VALUE_ATTRIBUTE attribute_value TK_END_TAG_CLOSED
              {
                  if (!behavior().add_attribute_value($3.text, attribute_value))
                      STOP("\\r[psb_behavior_parse] cannot set attribute");
              }
          ;

attribute_value : TK_STRING_FLOAT { attribute_value.type = 0; attribute_value.real = $1.real; }
                | TK_STRING_BOOLEAN { attribute_value.type = 2; attribute_value.boolean = $1.boolean; }
                | TK_STRING_INT { attribute_value.type = 1; attribute_value.integer = $1.integer; }
                ;

features : TK_FEATURES_BEGIN features_r TK_FEATURES_END { behavior().check_feature_states(); } ;

features_r : %empty | features_r feature ;

feature : TK_FEATURE_BEGIN TK_NAME_ATTRIBUTE TK_STRING_STRING TK_FROM_ATTRIBUTE TK_STRING_STRING TK_TO_ATTRIBUTE
          TK_STRING_STRING TK_END_TAG_CLOSED
            {
                if (!behavior().add_feature_state($3.text, $5.text, $7.text))
                    STOP("\\r[psb_behavior_parse] invalid feature or state");
            }
        | TK_FEATURE_BEGIN TK_NAME_ATTRIBUTE TK_STRING_STRING TK_IN_ATTRIBUTE TK_STRING_STRING TK_END_TAG_CLOSED
            {
                if (!behavior().add_feature_state($3.text, $5.text, $5.text))
                    STOP("\\r[psb_behavior_parse] invalid feature or state");
            }
        ;

hold_section : %empty | TK_HOLD_BEGIN {} hold_items TK_HOLD_END ;

hold_items : TK_GENERATED_FREEZE_BEGIN { exact = false; } hold_exact TK_END_TAG_CLOSED
               { behavior().set_generated_freeze(exact); }
           | { behavior().begin_holds(); } freeze_animations { if (!behavior().end_holds()) YYABORT; }
           ;

hold_exact : %empty
           | TK_TYPE_ATTRIBUTE TK_STRING_STRING
               {
                   if (strcasecmp($2.text, "exact") == 0)
                       exact = true;
                   else
                       api::message("\\r[psb_behavior_parse] unknown generated freeze type (%s)", $2.text);
               }
           ;

freeze_animations : freeze_animation | freeze_animations freeze_animation ;

freeze_animation : TK_ANIMATION_BEGIN { hold = hold_animation_t{}; }
                   freeze_animation_parameters
                     {
                         if (hold.file_given && hold.frame_given)
                             behavior().add_hold(hold.file.c_str(), hold.frame, hold.unit, hold.weight,
                                                 hold.weight_given);
                         else
                             api::message("\\r[psb_behavior_parse] hold animation has to have filename and frame "
                                          "attribute");
                     }
                   TK_END_TAG_CLOSED
                 ;

freeze_animation_parameters : freeze_animation_parameter
                            | freeze_animation_parameters freeze_animation_parameter
                            ;

freeze_animation_parameter : TK_FILE_ATTRIBUTE TK_STRING_STRING
                               {
                                   if (strlen($2.text) <= psb_hold_file_limit) {
                                       hold.file = $2.text;
                                       hold.file_given = true;
                                   } else {
                                       api::message("\\r[psb_behavior_parse] hold animation filename too long (%s)",
                                                    $2.text);
                                   }
                               }
                           | TK_FRAME_ATTRIBUTE TK_STRING_INT
                               { hold.frame = static_cast<float>($2.integer); hold.unit = psb_hold_frames; hold.frame_given = true; }
                           | TK_FRAME_ATTRIBUTE TK_STRING_PERCENT
                               { hold.frame = $2.real; hold.unit = psb_hold_percent; hold.frame_given = true; }
                           | TK_WEIGHT_ATTRIBUTE float
                               { hold.weight = $2.real; hold.weight_given = true; }
                           ;

code_section : TK_CODE_BEGIN { behavior().begin_blocks(); } code_recurse TK_CODE_END
                 { if (!behavior().end_block()) YYABORT; }
             ;

float : TK_STRING_FLOAT
      | TK_STRING_INT { $$.real = static_cast<float>($1.integer); }
      ;

time : float { desc.time_in_percent = false; }
     | TK_STRING_PERCENT { desc.time_in_percent = true; }
     ;

base_parameters : %empty | base_parameters base_parameter ;

base_parameter : TK_FADE_LENGTH_ATTRIBUTE float { desc.fade_length = $2.real; desc.fade_length_given = true; }
               | TK_FADE_TIME_ATTRIBUTE float { desc.fade_time = $2.real; desc.fade_time_given = true; }
               ;

code_parameters : %empty | code_parameters code_parameter ;

code_parameter : TK_SPEED_ATTRIBUTE float { desc.speed = $2.real; desc.speed_given = true; }
               | TK_TIME_ATTRIBUTE time
                   {
                       if (desc.frame_given)
                           STOP_AT("time trigger cannot be applied together with the frame trigger");
                       if (desc.time_given)
                           STOP_AT("time trigger has been already set");
                       desc.time_trigger = $2.real;
                       desc.time_given = true;
                   }
               | TK_FRAME_ATTRIBUTE float
                   {
                       if (!behavior().current_block_animation_context())
                           STOP_AT("frame trigger may be applied only on child tag of animation tag");
                       if (desc.time_given)
                           STOP_AT("frame trigger cannot be applied together with the time trigger");
                       if (desc.frame_given)
                           STOP_AT("frame trigger has been already set");
                       desc.frame_trigger = $2.real;
                       desc.frame_given = true;
                   }
               | TK_PROBABILITY_ATTRIBUTE float
                   {
                       if (desc.probability_given)
                           STOP_AT("why you set two probabilities at once ?");
                       if ($2.real > 1.0f)
                           STOP_AT("what do you mean by probablity greater than 1.0 ?");
                       if ($2.real < 0.0f)
                           STOP_AT("what do you mean by probablity smaller than 0.0 ?");
                       desc.probability = $2.real;
                       desc.probability_given = true;
                   }
               | TK_EVENT_ATTRIBUTE TK_STRING_STRING
                   {
                       if (desc.event_given)
                           STOP_AT("cannot set 2 event at once at");
                       desc.event_given = true;
                       if (strcasecmp($2.text, "sound") == 0)
                           desc.event_type = psb_event_sound;
                       else if (strcasecmp($2.text, "question") == 0)
                           desc.event_type = psb_event_question;
                       else if (strcasecmp($2.text, "info") == 0)
                           desc.event_type = psb_event_info;
                       else
                           STOP_AT("unknown event type at");
                   }
               | TK_EVENT_DATA_ATTRIBUTE TK_STRING_STRING
                   {
                       const size_t length = strlen($2.text);
                       if (length > psb_event_data_size) {
                           desc.event_data_length = 0;
                           STOP("\\r[psb_behavior_parse] event data too long (%s) at (%i:%i)", $2.text,
                                psb_behavior_lloc.last_line, psb_behavior_lloc.last_column);
                       }
                       desc.event_data_length = static_cast<uint32_t>(length);
                       memcpy(desc.event_data, $2.text, length);
                   }
               ;

animation_parameters : %empty | animation_parameters animation_parameter ;

animation_parameter : code_parameter
                    | TK_WEIGHT_ATTRIBUTE float { desc.weight = $2.real; desc.weight_given = true; }
                    | TK_FILE_ATTRIBUTE TK_STRING_STRING
                        {
                            const size_t length = strlen($2.text);
                            if (length >= psb_block_file_size)
                                STOP_AT("animation filename too long");
                            memcpy(desc.file, $2.text, length + 1);
                        }
                    | TK_PRIORITY_ATTRIBUTE TK_STRING_INT { desc.priority = $2.integer; desc.priority_given = true; }
                    | TK_END_ACTION_ATTRIBUTE TK_STRING_STRING
                        {
                            if (strcasecmp($2.text, "freeze") == 0)
                                desc.freeze_at_end = true;
                            else
                                api::message("\\r[psb_behavior_parse] invalid animation end_action parameter at (%i:%i)",
                                             psb_behavior_lloc.last_line, psb_behavior_lloc.last_column);
                        }
                    | TK_RAMP_ATTRIBUTE TK_STRING_PERCENT
                        {
                            if (desc.ramp_in_given || desc.ramp_out_given)
                                STOP("\\r[psb_behavior_parse] cannot user ramp_in or ramp_out with ramp at once !");
                            desc.ramp_in = desc.ramp_out = $2.real;
                            desc.ramp_in_given = desc.ramp_out_given = true;
                        }
                    | TK_RAMP_OUT_ATTRIBUTE TK_STRING_PERCENT
                        {
                            if (desc.ramp_out_given)
                                STOP("\\r[psb_behavior_parse] ramp_out cannot be defined twice !");
                            desc.ramp_out = $2.real;
                            desc.ramp_out_given = true;
                        }
                    | TK_RAMP_IN_ATTRIBUTE TK_STRING_PERCENT
                        {
                            if (desc.ramp_in_given)
                                STOP("\\r[psb_behavior_parse] ramp_in cannot be defined twice !");
                            desc.ramp_in = $2.real;
                            desc.ramp_in_given = true;
                        }
                    | TK_RAMP_TYPE_ATTRIBUTE TK_STRING_STRING
                        {
                            if (strcasecmp($2.text, "event") == 0)
                                desc.ramp_type_event = true;
                            else
                                api::message("\\r[psb_behavior_parse] invalid animation ramp_type parameter at (%i:%i)",
                                             psb_behavior_lloc.last_line, psb_behavior_lloc.last_column);
                        }
                    ;

blend_parameters : %empty | blend_parameters blend_parameter ;

blend_parameter : code_parameter
                | TK_OVERLAY_ATTRIBUTE overlay_value { desc.overlay = $2.real; desc.overlay_given = true; }
                ;

normalize_parameters : %empty | normalize_parameters normalize_parameter ;

normalize_parameter : code_parameter
                    | TK_TYPE_ATTRIBUTE TK_STRING_STRING
                        {
                            if (strcasecmp($2.text, "stretch") == 0)
                                desc.stretch = true;
                            else
                                api::message("\\r[psb_behavior_parse] unknown normalize type (%s) at (%i:%i)", $2.text,
                                             psb_behavior_lloc.last_line, psb_behavior_lloc.last_column);
                        }
                    ;

code_recurse : code | code_recurse code ;

code : TK_BASE_BEGIN { open_block(psb_block_base); } base_parameters { begin_block(); } base_end_rule
         { if (!behavior().end_block()) YYABORT; }
     | TK_PARALLEL_BEGIN { open_block(psb_block_parallel); } code_parameters { begin_block(); } parallel_end_rule
         { if (!behavior().end_block()) YYABORT; }
     | TK_SEQUENCE_BEGIN { open_block(psb_block_sequence); } code_parameters { begin_block(); } sequence_end_rule
         { if (!behavior().end_block()) YYABORT; }
     | TK_ANIMATION_BEGIN { open_block(psb_block_animation); } animation_parameters { begin_block(); }
       animation_end_rule
         { if (!behavior().end_block()) YYABORT; }
     | TK_BLEND_BEGIN { open_block(psb_block_blend); } blend_parameters { begin_block(); } blend_end_rule
         { if (!behavior().end_block()) YYABORT; }
     | TK_NORMALIZE_BEGIN { open_block(psb_block_normalize); } normalize_parameters { begin_block(); }
       normalize_end_rule
         { if (!behavior().end_block()) YYABORT; }
     ;

overlay_value : TK_STRING_TIME { desc.overlay_unit = psb_overlay_time; }
              | TK_STRING_PERCENT { desc.overlay_unit = psb_overlay_percent; }
              ;

base_end_rule : TK_END_TAG_CLOSED { STOP_AT("base section of code cannot be empty !"); }
              | TK_END_TAG_OPEN code_recurse
                  { if (!behavior().end_normalize()) STOP_AT("cannot compute base block normalize !"); }
                TK_BASE_END
              ;

parallel_end_rule : TK_END_TAG_CLOSED
                  | TK_END_TAG_OPEN code_recurse TK_PARALLEL_END
                  | TK_END_TAG_OPEN error
                      { STOP("\\r[psb_behavior_parse] parallel block has to contaion at least one subblock"); }
                  ;

sequence_end_rule : TK_END_TAG_CLOSED
                  | TK_END_TAG_OPEN code_recurse TK_SEQUENCE_END
                  | TK_END_TAG_OPEN error
                      { STOP("\\r[psb_behavior_parse] sequence block has to contain at least one subblock"); }
                  ;

animation_end_rule : TK_END_TAG_CLOSED
                   | TK_END_TAG_OPEN code_recurse TK_ANIMATION_END
                   | TK_END_TAG_OPEN TK_ANIMATION_END
                   ;

blend_end_rule : TK_END_TAG_OPEN code_recurse
                   { if (!behavior().end_blend()) STOP_AT("cannot compute blend !"); }
                 TK_BLEND_END
               ;

normalize_end_rule : TK_END_TAG_OPEN code_recurse
                       { if (!behavior().end_normalize()) STOP_AT("cannot compute normalize !"); }
                     TK_NORMALIZE_END
                   ;

%%

/*@include psb_parse_tail.yfrag@*/
