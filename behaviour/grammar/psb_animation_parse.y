/*@include psb_parse_head.yfrag@*/

%code {
namespace {

// The animation being read.
psb_animation_actions_t& animation() { return *psb_current_animation; }

}  // namespace
}

%token TK_HEADER_START TK_HEADER_ENCODING TK_HEADER_VERSION TK_HEADER_END TK_KUVRA_BEGIN TK_KUVRA_END
%token TK_VERSION_ATTRIBUTE TK_STRING_BOOLEAN TK_STRING_INT TK_STRING_FRAME TK_STRING_TIME TK_STRING_FLOAT
%token TK_STRING_STRING TK_ANIMATION_BEGIN TK_ANIMATION_END TK_FEATURES_BEGIN TK_FEATURES_END TK_FEATURE_BEGIN
%token TK_FILE_ATTRIBUTE TK_NAME_ATTRIBUTE TK_FROM_ATTRIBUTE TK_TO_ATTRIBUTE TK_IN_ATTRIBUTE TK_END_TAG_OPEN
%token TK_END_TAG_CLOSED TK_FLOAT TK_STRING

%%

/*@include psb_parse_header_rules.yfrag@*/

body_section : TK_KUVRA_BEGIN animation_section TK_KUVRA_END
             | TK_KUVRA_BEGIN error { STOP("\\r[psb_animation_parse] invalid animation file"); }
             ;

animation_section : TK_ANIMATION_BEGIN animation_file version TK_END_TAG_OPEN features TK_ANIMATION_END
                  | TK_ANIMATION_BEGIN version animation_file TK_END_TAG_OPEN features TK_ANIMATION_END
                  ;

animation_file : TK_FILE_ATTRIBUTE TK_STRING_STRING { if (!animation().add_animation($2.text)) YYABORT; } ;

version : TK_VERSION_ATTRIBUTE TK_STRING_FLOAT
            { if ($2.real != 1.0f) STOP("\\r[psb_animation_parse] invalid animation file version"); }
        ;

features : TK_FEATURES_BEGIN features_r TK_FEATURES_END ;

features_r : %empty | features_r feature ;

feature : TK_FEATURE_BEGIN TK_NAME_ATTRIBUTE TK_STRING_STRING TK_FROM_ATTRIBUTE TK_STRING_STRING TK_TO_ATTRIBUTE
          TK_STRING_STRING TK_END_TAG_CLOSED
            {
                if (!animation().add_feature_state($3.text, $5.text, $7.text))
                    STOP("\\r[psb_animation_parse] invalid feature or state");
            }
        | TK_FEATURE_BEGIN TK_NAME_ATTRIBUTE TK_STRING_STRING TK_IN_ATTRIBUTE TK_STRING_STRING TK_END_TAG_CLOSED
            {
                if (!animation().add_feature_state($3.text, $5.text, $5.text))
                    STOP("\\r[psb_animation_parse] invalid feature or state");
            }
        ;

%%

/*@include psb_parse_tail.yfrag@*/
