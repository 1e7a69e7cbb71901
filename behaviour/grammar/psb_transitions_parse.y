/*@include psb_parse_head.yfrag@*/

%code {
#include <string>

namespace {

// The transitions table being filled.
psb_transitions_actions_t& transitions() { return *psb_current_transitions; }

// The last `float` value was written as a percent; `percent_number` is the number before its "%".
bool percent = false;
float percent_number = 0;

// The blend animation being read; its fields carry over from the from to the to animation.
struct blend_animation_t {
    std::string file;
    bool speed_given = false;
    float speed = 0;
    bool weight_given = false;
    float weight = 0;
};
blend_animation_t blend_animation;
// 1 while the from animation is read, 0 for the to animation.
int side = 0;

// Longest animation file name of a blend.
constexpr size_t longest_file = 63;

}  // namespace
}

%token TK_HEADER_START TK_HEADER_ENCODING TK_HEADER_VERSION TK_HEADER_END TK_KUVRA_BEGIN TK_KUVRA_END
%token TK_VERSION_ATTRIBUTE TK_STRING_BOOLEAN TK_STRING_INT TK_STRING_PERCENT TK_STRING_FLOAT TK_STRING_STRING
%token TK_TRANSITIONS_BEGIN TK_TRANSITIONS_END TK_SIMPLE_BEGIN TK_SIMPLE_END TK_COMPOUND_BEGIN TK_COMPOUND_END
%token TK_MATRIX_BEGIN TK_MATRIX_END TK_STATE_BEGIN TK_FEATURE_BEGIN TK_FEATURE_END TK_TRANSITION_BEGIN
%token TK_TRANSITION_END TK_PLAY_BEHAVIOR_BEGIN TK_FEATURES_BEGIN TK_FEATURES_END TK_BLEND_BEGIN TK_BLEND_END
%token TK_FROM_BEGIN TK_FROM_END TK_TO_BEGIN TK_TO_END TK_ANIMATION_BEGIN TK_NAME_ATTRIBUTE
%token TK_ANIMATION_PRIORITY_ATTRIBUTE TK_NO_STRETCH_ATTRIBUTE TK_FROM_ATTRIBUTE TK_TO_ATTRIBUTE TK_IN_ATTRIBUTE
%token TK_FILE_ATTRIBUTE TK_STATE_ATTRIBUTE TK_OVERLAY_ATTRIBUTE TK_SPEED_ATTRIBUTE TK_WEIGHT_ATTRIBUTE
%token TK_END_TAG_OPEN TK_END_TAG_CLOSED TK_FLOAT TK_STRING

%%

/*@include psb_parse_header_rules.yfrag@*/

float : TK_STRING_FLOAT { percent = false; }
      | TK_STRING_INT { percent = false; $$.real = static_cast<float>($1.integer); }
      | TK_STRING_PERCENT { percent = true; percent_number = $1.real; $$.real = $1.real * 0.01f; }
      ;

body_section : TK_KUVRA_BEGIN transitions_section TK_KUVRA_END ;

transitions_section : TK_TRANSITIONS_BEGIN TK_VERSION_ATTRIBUTE TK_STRING_FLOAT TK_END_TAG_OPEN
                        {
                            if ($3.real != 1.0f)
                                STOP("\\r[psb_transitions_parse] invalid transition file version");
                        }
                      simple_section compound_section TK_TRANSITIONS_END
                    | error { STOP("\\r[psb_transitions_parse] invalid data file"); }
                    ;

simple_section : TK_SIMPLE_BEGIN {} optional_features TK_SIMPLE_END ;

optional_features : %empty | features ;

features : feature | features feature ;

feature : TK_FEATURE_BEGIN TK_NAME_ATTRIBUTE TK_STRING_STRING TK_END_TAG_OPEN { transitions().set_feature($3.text); }
          feature_transitions_or_matrix TK_FEATURE_END
        ;

feature_transitions_or_matrix : matrix | matrix feature_transitions | feature_transitions ;

matrix : TK_MATRIX_BEGIN optional_priority optional_overlay optional_nostretch TK_END_TAG_OPEN {} matrix_rules
         TK_MATRIX_END
       ;

optional_priority : %empty { transitions().default_priority(); }
                  | TK_ANIMATION_PRIORITY_ATTRIBUTE TK_STRING_INT { transitions().set_priority($2.integer); }
                  ;

optional_overlay : %empty { transitions().clear_overlay(); }
                 | TK_OVERLAY_ATTRIBUTE TK_STRING_PERCENT { transitions().set_overlay($2.real); }
                 ;

optional_nostretch : %empty { transitions().set_no_stretch(false); }
                   | TK_NO_STRETCH_ATTRIBUTE TK_STRING_BOOLEAN { transitions().set_no_stretch($2.boolean); }
                   ;

matrix_rules : matrix_rule | matrix_rules matrix_rule ;

matrix_rule : TK_STATE_BEGIN TK_NAME_ATTRIBUTE TK_STRING_STRING TK_FILE_ATTRIBUTE TK_STRING_STRING TK_END_TAG_CLOSED
                { transitions().set_matrix_state($3.text, $5.text); }
            ;

feature_transitions : feature_transition | feature_transitions feature_transition ;

feature_transition : TK_TRANSITION_BEGIN { transitions().begin_simple(); } TK_FROM_ATTRIBUTE TK_STRING_STRING
                     TK_TO_ATTRIBUTE TK_STRING_STRING TK_END_TAG_OPEN { transitions().set_from_to($4.text, $6.text); }
                     transition_action TK_TRANSITION_END
                       { transitions().end_transition(); }
                   ;

transition_action : behavior | blend ;

blend : TK_BLEND_BEGIN TK_OVERLAY_ATTRIBUTE float TK_END_TAG_OPEN
          {
              // A percent overlay goes to the model as the number written, which scales it once.
              if (percent)
                  transitions().begin_blend_action(percent_number, 2);
              else
                  transitions().begin_blend_action($3.real, 1);
              blend_animation = blend_animation_t{};
          }
        from_blend to_blend TK_BLEND_END
          { transitions().end_blend_action(); }
      ;

from_blend : TK_FROM_BEGIN { side = 1; } blend_action TK_FROM_END ;

to_blend : TK_TO_BEGIN { side = 0; } blend_action TK_TO_END ;

blend_action : animation ;

animation : playing_animation | freezed_frame ;

playing_animation : TK_ANIMATION_BEGIN animation_params TK_END_TAG_CLOSED
                      {
                          if (blend_animation.file.empty())
                              STOP("\\r[psb_transitions_parse] you have to enter animation filename !");
                          transitions().add_blend_animation(side, blend_animation.file.c_str(),
                                                            blend_animation.speed_given, blend_animation.speed,
                                                            blend_animation.weight_given, blend_animation.weight);
                      }
                  ;

animation_params : %empty | animation_params animation_param ;

animation_param : TK_FILE_ATTRIBUTE TK_STRING_STRING
                    {
                        if (strlen($2.text) > longest_file)
                            STOP("\\r[psb_transitions_parse] animation filename too long (%s)", $2.text);
                        blend_animation.file = $2.text;
                    }
                | TK_SPEED_ATTRIBUTE float { blend_animation.speed = $2.real; blend_animation.speed_given = true; }
                | TK_WEIGHT_ATTRIBUTE float { blend_animation.weight = $2.real; blend_animation.weight_given = true; }
                ;

freezed_frame : TK_ANIMATION_BEGIN ;

behavior : TK_PLAY_BEHAVIOR_BEGIN TK_FILE_ATTRIBUTE TK_STRING_STRING TK_END_TAG_CLOSED
             { transitions().set_play_behavior($3.text); }
         ;

compound_section : TK_COMPOUND_BEGIN {} compound_transitions TK_COMPOUND_END ;

compound_transitions : %empty | compound_transitions compound_transition ;

compound_transition : TK_TRANSITION_BEGIN { transitions().begin_compound(); } compound_features_state
                      transition_action TK_TRANSITION_END
                        { transitions().end_compound(); }
                    ;

compound_features_state : TK_FEATURES_BEGIN compound_features TK_FEATURES_END ;

compound_features : compound_feature | compound_features compound_feature ;

compound_feature : TK_FEATURE_BEGIN TK_NAME_ATTRIBUTE TK_STRING_STRING TK_FROM_ATTRIBUTE TK_STRING_STRING
                   TK_TO_ATTRIBUTE TK_STRING_STRING TK_END_TAG_CLOSED
                     { transitions().add_compound_feature($3.text, $5.text, $7.text); }
                 | TK_FEATURE_BEGIN TK_NAME_ATTRIBUTE TK_STRING_STRING TK_IN_ATTRIBUTE TK_STRING_STRING TK_END_TAG_CLOSED
                     { transitions().add_compound_feature($3.text, $5.text, $5.text); }
                 ;

%%

/*@include psb_parse_tail.yfrag@*/
